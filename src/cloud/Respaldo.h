#pragma once
// The table of listed backups and how its lines and the used space are
// written: oldest first, numbered, in the fixed-width columns of the list,
// with the user's regional separators.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace norvo::cloud {

// One listed backup.
struct Respaldo {
  double Fecha = 0;  // modification time (local Automation date); 0 = empty record
  QString Dia;       // the date "dd-MM-yyyy"
  QString Hora;      // "hh:mm", 24-hour clock
  QString Archivo;   // the file name on the server
  QString Tamano;    // size in KB as the account service gave it; "0" when unknown
};

inline constexpr int kRespaldosCount = 101;
using Respaldos = std::array<Respaldo, kRespaldosCount>;

// Every record emptied.
void EmptyRespaldos(Respaldos& respaldos);

// The date and time columns of a modification time: Dia is "dd-MM-yyyy"
// (e.g. "05-03-2024") and Hora "hh:mm", whatever the locale. Both empty for
// the unknown time 0.
void DateTexts(double fecha, QString* dia, QString* hora);

// A number in the "#,0" form: rounded to a whole number, thousands grouped
// with the locale's separator ("1.234.567").
QString FormatThousands(double value, const QLocale& locale);
// A size text in the "#,0" form when it is a number, else the text itself.
QString FormatSize(const QString& tamano, const QLocale& locale);
// The size text as a number; false when it is not one.
bool SizeValue(const QString& tamano, double* value);

// The used-space label: total/1024/1024 as "#.000" (no leading zero), then
// " GB    -    ", then the total as "#,0", then " KB".
QString FormatUsedSpace(double totalKilobytes, const QLocale& locale);

// Ordenar_Lista, step 1: all records by Fecha, oldest first; a stable sort,
// so empty records (Fecha 0) come first and equal dates keep their order.
void SortByDate(Respaldos& respaldos);

// Ordenar_Lista, steps 2 and 3: the list lines of records 1 to 100 that have
// a date, numbered from 01; *primerIndice becomes the record shown on the
// first line (0 when none is shown). Record 0 is never shown. *lineRecords
// gets the record of every line, so a line finds its file even when the
// shown records are not contiguous (dates before 1899 sort before the empty ones).
QStringList ListLines(const Respaldos& respaldos, const QLocale& locale, std::int16_t* primerIndice,
                      std::vector<int>* lineRecords);

// One line: "03 | 20-05-2013 | 23:15 | 0105C01.RAR  |     1.234.567".
QString ListLine(int number, const Respaldo& respaldo, const QLocale& locale);

}  // namespace norvo::cloud
