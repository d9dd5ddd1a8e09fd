#include "cloud/Respaldo.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <optional>
#include <utility>

#include "settings/AutomationDate.h"

namespace norvo::cloud {
namespace {

// Digits of a whole number with the separator between groups of three.
QString GroupDigits(const QString& digits, const QString& separator) {
  QString grouped;
  const int length = static_cast<int>(digits.size());
  for (int i = 0; i < length; ++i) {
    if (i > 0 && (length - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return grouped;
}

// Rounds half away from zero, as the "#,0" and "#.000" forms do.
double RoundAway(double value) { return value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5); }

QString WholeDigits(double magnitude) { return QString::number(magnitude, 'f', 0); }

}  // namespace

void EmptyRespaldos(Respaldos& respaldos) { respaldos.fill(Respaldo{}); }

void DateTexts(double fecha, QString* dia, QString* hora) {
  dia->clear();
  hora->clear();
  if (fecha == 0) return;
  const std::optional<settings::WallClock> clock = settings::ReadAutomationDate(fecha);
  if (!clock) return;
  // Always day-month-year with leading zeros: the column keeps its width and
  // reads the same in every locale, the C locale of cron and servers included.
  const QDate day(static_cast<int>(clock->day.year()),
                  static_cast<int>(static_cast<unsigned>(clock->day.month())),
                  static_cast<int>(static_cast<unsigned>(clock->day.day())));
  *dia = day.toString("dd-MM-yyyy");
  *hora =
      QTime::fromMSecsSinceStartOfDay(static_cast<int>(clock->time_of_day.count()) * 1000).toString("HH:mm");
}

QString FormatThousands(double value, const QLocale& locale) {
  double rounded = RoundAway(value);
  QString digits = GroupDigits(WholeDigits(std::fabs(rounded)), locale.groupSeparator());
  return rounded < 0 ? locale.negativeSign() + digits : digits;
}

bool SizeValue(const QString& tamano, double* value) {
  const QString text = tamano.trimmed();
  if (text.isEmpty()) return false;
  bool ok = false;
  double number = QLocale::c().toDouble(text, &ok);
  if (!ok) number = QLocale().toDouble(text, &ok);
  if (!ok || !std::isfinite(number)) return false;
  *value = number;
  return true;
}

QString FormatSize(const QString& tamano, const QLocale& locale) {
  double value = 0;
  return SizeValue(tamano, &value) ? FormatThousands(value, locale) : tamano;
}

QString FormatUsedSpace(double totalKilobytes, const QLocale& locale) {
  double gigabytes = totalKilobytes / 1024.0 / 1024.0;
  double thousandths = RoundAway(gigabytes * 1000.0);
  double magnitude = std::fabs(thousandths);
  double whole = std::floor(magnitude / 1000.0);
  QString fraction = QString::number(magnitude - whole * 1000.0, 'f', 0).rightJustified(3, '0');
  QString text = (whole > 0 ? WholeDigits(whole) : QString()) + locale.decimalPoint() + fraction;
  if (thousandths < 0) text = locale.negativeSign() + text;
  return text + " GB    -    " + FormatThousands(totalKilobytes, locale) + " KB";
}

void SortByDate(Respaldos& respaldos) {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (int i = 1; i < kRespaldosCount; ++i) {
      if (respaldos[i - 1].Fecha > respaldos[i].Fecha) {
        std::swap(respaldos[i - 1], respaldos[i]);
        swapped = true;
      }
    }
  }
}

QString ListLine(int number, const Respaldo& respaldo, const QLocale& locale) {
  QString size = FormatSize(respaldo.Tamano, locale);
  return QString::number(number).rightJustified(2, '0') + " | " + respaldo.Dia + " | " + respaldo.Hora +
         " | " + respaldo.Archivo.leftJustified(12, ' ') + " | " + size.rightJustified(13, ' ');
}

QStringList ListLines(const Respaldos& respaldos, const QLocale& locale, std::int16_t* primerIndice,
                      std::vector<int>* lineRecords) {
  QStringList lines;
  *primerIndice = 0;
  lineRecords->clear();
  for (int i = 1; i < kRespaldosCount; ++i) {
    if (respaldos[i].Dia.isEmpty()) continue;
    if (*primerIndice == 0) *primerIndice = static_cast<std::int16_t>(i);
    lines << ListLine(static_cast<int>(lines.size()) + 1, respaldos[i], locale);
    lineRecords->push_back(i);
  }
  return lines;
}

}  // namespace norvo::cloud
