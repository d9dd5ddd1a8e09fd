// `Guardar`: the six checks of the input, then every setting written in one
// go, then the weekly task registered (a refusal of it is shown).
#include <algorithm>
#include <array>
#include <exception>

#include "config/services/DatabaseList.h"
#include "config/services/FormText.h"
#include "config/window/frmConfig.h"
#include "platform/Registry.h"
#include "settings/Base64.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "ui_frmConfig.h"

namespace norvo::config {
namespace {

std::string ToUtf8(const QString& text) { return text.toStdString(); }
std::string Flag(const QAbstractButton* box) { return box->isChecked() ? "1" : "0"; }

}  // namespace

bool frmConfig::Refuse(int tab, const char* message, QWidget* focus) {
  ui_->sTab->setCurrentIndex(tab);
  context_.ShowMessageBox(this, tray::BoxIcon::Critical, windowTitle(), QString::fromUtf8(message));
  focus->setFocus();
  return false;
}

bool frmConfig::CheckInput() {
  if (ui_->txtClave->text() != ui_->txtClaveConf->text()) {
    return Refuse(0, "No coinside la clave de confirmación", ui_->txtClaveConf);
  }
  if (ui_->txtSegPas->text() != ui_->txtSegPasRe->text()) {
    return Refuse(3, "No coinside la clave de confirmación", ui_->txtSegPas);
  }
  if (!ui_->txtProMail->text().isEmpty() && !Validar_Mail(ToUtf8(ui_->txtProMail->text()))) {
    return Refuse(4, "El correo electrónico no es valido", ui_->txtProMail);
  }
  const bool logon = services_.validarLogon &&
                     services_.validarLogon(ToUtf8(ui_->txtWinUsr->text()), ToUtf8(ui_->txtWinDom->text()),
                                            ToUtf8(ui_->txtWinPas->text()));
  if (!logon) return Refuse(4, "La contraseña no es valida", ui_->txtWinPas);
  const std::array<bool, 7> days = TickedDays();
  if (std::none_of(days.begin(), days.end(), [](bool ticked) { return ticked; })) {
    return Refuse(4, "Debe seleccionar a lo menos un día de la semana", ui_->chkSem_0);
  }
  if (ui_->txtCopias->text() == "0" || ui_->txtCopias->text().isEmpty()) {
    return Refuse(4, "Debe ingresar cantidad de copias", ui_->txtCopias);
  }
  return true;
}

std::array<bool, 7> frmConfig::TickedDays() const {
  std::array<bool, 7> ticked{};
  for (std::size_t i = 0; i < ticked.size(); ++i) ticked[i] = DayBoxes()[i]->isChecked();
  return ticked;
}

// The stored database list: the selected entries from the first to the last.
std::string frmConfig::DatabaseListText() const {
  std::vector<std::string> selected;
  for (int row = 0; row < ui_->lstBases->count(); ++row) {
    const QListWidgetItem* item = ui_->lstBases->item(row);
    if (item->isSelected()) selected.push_back(ToUtf8(item->text()));
  }
  return StoredDatabaseList(selected);
}

std::vector<SavedValue> frmConfig::ValuesToSave() const {
  const std::string day_text = DayText(TickedDays());
  const std::string database_list = DatabaseListText();
  std::vector<SavedValue> values;
  values.emplace_back(settings::kClave, ToUtf8(ui_->txtClave->text()));
  values.emplace_back(settings::kRespArchivo, Flag(ui_->chktpo_1));
  values.emplace_back(settings::kRespBase, Flag(ui_->chktpo_2));
  for (int set = 1; set <= settings::kFileSetCount; ++set) {
    for (std::string_view base : settings::kFileSetValues) {
      values.emplace_back(settings::FileSetValueName(base, set), "");
    }
  }
  for (int row = 0; row < std::min(ui_->lstArchivo->count(), settings::kFileSetCount); ++row) {
    const FileSet set = FileSetOfEntry(ToUtf8(ui_->lstArchivo->item(row)->text()));
    const std::string* fields[] = {&set.ruta, &set.nom, &set.tipo, &set.sub, &set.fil};
    for (std::size_t i = 0; i < std::size(settings::kFileSetValues); ++i) {
      values.emplace_back(settings::FileSetValueName(settings::kFileSetValues[i], row + 1), *fields[i]);
    }
  }
  values.emplace_back(settings::kRespBaseAut, ui_->optBaseAut_0->isChecked() ? settings::kWindowsLoginKind
                                                                             : settings::kServerLoginKind);
  values.emplace_back(settings::kRespBaseSer, ToUtf8(ui_->lblNomServ->text()));
  values.emplace_back(settings::kRespBaseIns, ToUtf8(ui_->txtInstancia->text()));
  values.emplace_back(settings::kRespBaseUsr, ToUtf8(ui_->txtBaseUsr->text()));
  values.emplace_back(settings::kRespBasePas, ToUtf8(ui_->txtBasePas->text()));
  values.emplace_back(settings::kRespBaseBas, database_list);
  values.emplace_back(settings::kRespSeguPas, ToUtf8(ui_->txtSegPas->text()));
  values.emplace_back(settings::kRespProgSem, day_text);
  values.emplace_back(settings::kRespProgHora, ToUtf8(ui_->mskProHora->displayText()));
  values.emplace_back(settings::kRespProgCopias, ToUtf8(ui_->txtCopias->text()));
  values.emplace_back(settings::kRespProgEnv, Flag(ui_->chkProEnvMail));
  values.emplace_back(settings::kRespProgRespLoc, Flag(ui_->chkProRespLoc));
  values.emplace_back(settings::kRespDrive,
                      ui_->chkDrive->isChecked() ? "" : ToUtf8(ui_->drvUnidad->currentText()));
  values.emplace_back(settings::kRespProgMail, ToUtf8(ui_->txtProMail->text()));
  values.emplace_back(settings::kRespProgWDom, settings::EncodeSetting(ToUtf8(ui_->txtWinDom->text())));
  values.emplace_back(settings::kRespProgWUsr, settings::EncodeSetting(ToUtf8(ui_->txtWinUsr->text())));
  values.emplace_back(settings::kRespProgWPas, settings::EncodeSetting(ToUtf8(ui_->txtWinPas->text())));
  return values;
}

// Writes the values one by one. A store that cannot be written is said so
// under the title "Norvo" (the values written before stay), rather than
// letting the customer believe the backup is configured.
bool frmConfig::WriteValues(const std::vector<SavedValue>& values) {
  std::string error;
  auto key = platform::CreateRegistryKey(settings::kCurrentUser, settings::kSettingsKey, &error);
  for (const auto& [name, data] : values) {
    const platform::RegValue value{platform::RegType::String, {data.begin(), data.end()}};
    if (key && key->Set(name, value)) continue;
    QString text = QString("No se pudo guardar la configuración (%1)").arg(QString::fromStdString(name));
    if (!error.empty()) text += ": " + QString::fromStdString(error);
    context_.ShowMessageBox(this, tray::BoxIcon::Critical, "Norvo", text);
    return false;
  }
  return true;
}

bool frmConfig::Guardar() {
  if (!CheckInput()) return false;
  try {
    const std::vector<SavedValue> values = ValuesToSave();
    if (!WriteValues(values)) return false;
    if (services_.registerSchedule) {
      ScheduleRequest task;
      task.day_text = DayText(TickedDays());
      task.time = ToUtf8(ui_->mskProHora->displayText());
      task.domain = ToUtf8(ui_->txtWinDom->text());
      task.user = ToUtf8(ui_->txtWinUsr->text());
      task.password = ToUtf8(ui_->txtWinPas->text());
      // The settings stay saved; the user must know the runs keep their old schedule.
      const std::string failure = services_.registerSchedule(task);
      if (!failure.empty()) {
        context_.ShowMessageBox(this, tray::BoxIcon::Critical, windowTitle(),
                                "La configuración se guardó, pero la programación no cambió.\n\n"
                                "No se pudo registrar la tarea programada: " +
                                    QString::fromStdString(failure));
      }
    }
    return true;
  } catch (const std::exception& error) {
    context_.ShowMessageBox(this, tray::BoxIcon::Critical, "Norvo", QString::fromStdString(error.what()));
    return false;
  }
}

}  // namespace norvo::config
