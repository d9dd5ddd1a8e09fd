// The load of the configuration window: every setting into its control, the
// start-up registration, the cloud test and the database list. A step that
// fails leaves its control as it was and the load goes on.
#include <exception>

#include "config/services/FormText.h"
#include "config/window/BusyPointer.h"
#include "config/window/frmConfig.h"
#include "settings/Base64.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"
#include "ui_frmConfig.h"

namespace norvo::config {
namespace {

template <typename Step>
void IgnoringErrors(Step&& step) {
  try {
    step();
  } catch (const std::exception&) {
    // The control keeps what it had; the load goes on.
  }
}

QString Setting(std::string_view name) { return QString::fromStdString(settings::ReadSetting(name)); }
bool IsOn(std::string_view name) { return settings::ReadSetting(name) == "1"; }
// Throws Base64Error for a damaged value.
QString Decoded(std::string_view name) {
  return QString::fromStdString(settings::DecodeSetting(settings::ReadSetting(name)));
}

}  // namespace

void frmConfig::Form_Load() {
  IgnoringErrors([&] {
    if (!services_.registerStartup) return;
    const std::string failure = services_.registerStartup();
    if (failure.empty()) return;
    context_.ShowMessageBox(this, tray::BoxIcon::Critical, windowTitle(),
                            "No se pudo registrar el inicio de Norvo Backup al iniciar la sesión: " +
                                QString::fromStdString(failure));
  });
  IgnoringErrors([&] {
    ui_->txtClave->setText(QString::fromStdString(state_->sClave));
    ui_->txtClaveConf->setText(QString::fromStdString(state_->sClave));
  });
  IgnoringErrors([&] {
    if (services_.computerName) ui_->lblNomServ->setText(QString::fromStdString(services_.computerName()));
  });
  IgnoringErrors([&] {
    ui_->chktpo_1->setChecked(IsOn(settings::kRespArchivo));
    ui_->chktpo_2->setChecked(IsOn(settings::kRespBase));
  });
  ui_->optArch_0->setChecked(true);
  optArch_Click(0);
  IgnoringErrors([&] { LoadFileList(); });
  chktpo_Click(1);
  chktpo_Click(2);
  IgnoringErrors([&] {
    (settings::ReadSetting(settings::kRespBaseAut) == settings::kWindowsLoginKind ? ui_->optBaseAut_0
                                                                                  : ui_->optBaseAut_1)
        ->setChecked(true);
  });
  IgnoringErrors([&] {
    ui_->txtInstancia->setText(Setting(settings::kRespBaseIns));
    ui_->txtBaseUsr->setText(Setting(settings::kRespBaseUsr));
    ui_->txtBasePas->setText(Setting(settings::kRespBasePas));
    ui_->txtSegPas->setText(Setting(settings::kRespSeguPas));
    ui_->txtSegPasRe->setText(ui_->txtSegPas->text());
  });
  IgnoringErrors([&] {
    const std::string days = settings::ReadSetting(settings::kRespProgSem);
    const std::array<QCheckBox*, 7> boxes = DayBoxes();
    for (std::size_t i = 0; i < boxes.size(); ++i) boxes[i]->setChecked(DayTicked(days, i));
  });
  IgnoringErrors([&] {
    ui_->mskProHora->setText(Setting(settings::kRespProgHora));
    ui_->txtCopias->setText(Setting(settings::kRespProgCopias));
  });
  IgnoringErrors([&] {
    const std::string keep_local = settings::ReadSetting(settings::kRespProgRespLoc);
    ui_->chkProRespLoc->setChecked(keep_local.empty() || keep_local == "1");
  });
  IgnoringErrors([&] {
    ui_->chkProEnvMail->setChecked(IsOn(settings::kRespProgEnv));
    ui_->txtProMail->setText(Setting(settings::kRespProgMail));
  });
  // Each account field on its own: one damaged value leaves the others loaded.
  IgnoringErrors([&] { ui_->txtWinDom->setText(Decoded(settings::kRespProgWDom)); });
  IgnoringErrors([&] { ui_->txtWinUsr->setText(Decoded(settings::kRespProgWUsr)); });
  IgnoringErrors([&] { ui_->txtWinPas->setText(Decoded(settings::kRespProgWPas)); });
  IgnoringErrors([&] { LoadDrive(); });
  IgnoringErrors([&] { Test_Cloud(); });
  IgnoringErrors([&] { cmdConectar_Click(); });
  IgnoringErrors([&] {
    if (ui_->txtWinUsr->text().isEmpty()) GetUser();
  });
  if (ui_->lstArchivo->count() >= 3) ui_->cmdADD->setEnabled(false);
}

void frmConfig::LoadFileList() {
  for (int set = 1; set <= settings::kFileSetCount; ++set) {
    FileSet stored;
    stored.ruta = settings::ReadSetting(settings::FileSetValueName(settings::kRespArchRuta, set));
    stored.nom = settings::ReadSetting(settings::FileSetValueName(settings::kRespArchNom, set));
    stored.tipo = settings::ReadSetting(settings::FileSetValueName(settings::kRespArchTipo, set));
    stored.sub = settings::ReadSetting(settings::FileSetValueName(settings::kRespArchSub, set));
    stored.fil = settings::ReadSetting(settings::FileSetValueName(settings::kRespArchFil, set));
    if (std::optional<std::string> entry = EntryOfFileSet(stored)) {
      ui_->lstArchivo->addItem(QString::fromStdString(*entry));
    }
  }
}

// A stored drive this computer no longer offers is kept as an entry of its
// own, so opening and saving the window does not change it behind the user's back.
void frmConfig::LoadDrive() {
  const QString stored = Setting(settings::kRespDrive);
  if (stored.isEmpty()) {
    ui_->chkDrive->setChecked(true);
  } else {
    int index = ui_->drvUnidad->findText(stored);
    if (index < 0) {
      ui_->drvUnidad->addItem(stored);
      index = ui_->drvUnidad->count() - 1;
    }
    ui_->drvUnidad->setCurrentIndex(index);
    ui_->chkDrive->setChecked(false);
  }
  chkDrive_Click();
}

void frmConfig::Test_Cloud() {
  if (!services_.testCloud) return;
  BusyPointer busy;
  const CloudTestMarks marks = services_.testCloud();
  for (int line = 0; line < 3; ++line) SetMark(line, marks.success[static_cast<std::size_t>(line)]);
  ui_->Label25->setVisible(marks.blocked);
}

void frmConfig::SetMark(int line, bool success) {
  QLabel* failure_marks[] = {ui_->Image7_0, ui_->Image7_1, ui_->Image7_2};
  QLabel* success_marks[] = {ui_->Image6_0, ui_->Image6_1, ui_->Image6_2};
  failure_marks[line]->setVisible(!success);
  success_marks[line]->setVisible(success);
}

}  // namespace norvo::config
