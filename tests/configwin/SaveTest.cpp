// `Guardar`: the six checks with their tab, message and focus; the values
// written and read back from the store; the task; the three buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "ConfigWindowFixture.h"
#include "settings/Base64.h"

namespace norvo::test {
namespace {

class SaveTest : public ConfigWindowTest {
 protected:
  // A window that passes every check: a day ticked and one copy.
  void OpenValid() {
    OpenWithBothTabs();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    Day(0).setChecked(true);
    Control<QLineEdit>("txtCopias").setText("1");
  }
  QCheckBox& Day(int i) { return Control<QCheckBox>(QString("chkSem(%1)").arg(i).toUtf8().constData()); }
  // Saves expecting a refusal: the box, the tab shown, the focus, nothing written.
  void ExpectRefused(const char* message, int tab, const char* focus) {
    boxes.clear();
    Control<QTabWidget>("sTab").setCurrentIndex(tab == 0 ? 2 : 0);
    EXPECT_FALSE(window->Guardar());
    ASSERT_EQ(boxes.size(), 1u) << message;
    EXPECT_EQ(boxes[0].text, QString::fromUtf8(message));
    EXPECT_EQ(boxes[0].title, "Configuración");
    EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
    EXPECT_EQ(Control<QTabWidget>("sTab").currentIndex(), tab) << message;
    EXPECT_EQ(window->focusWidget(), &Control<QWidget>(focus)) << message;
    EXPECT_EQ(Get("Resp_ProgSem"), "") << "nothing is written";
    EXPECT_TRUE(fakes.schedules.empty());
  }
};

TEST_F(SaveTest, TheSixChecksInTheirOrder) {
  OpenValid();
  Control<QLineEdit>("txtClave").setText("uno");
  Control<QLineEdit>("txtClaveConf").setText("dos");
  Control<QLineEdit>("txtSegPas").setText("abc");
  Control<QLineEdit>("txtProMail").setText("sin-punto@dominio");
  fakes.logon_valid = false;
  Day(0).setChecked(false);
  Control<QLineEdit>("txtCopias").setText("0");

  ExpectRefused("No coinside la clave de confirmación", 0, "txtClaveConf");
  Control<QLineEdit>("txtClaveConf").setText("uno");
  ExpectRefused("No coinside la clave de confirmación", 3, "txtSegPas");  // "abc" with an empty confirmation
  Control<QLineEdit>("txtSegPasRe").setText("abc");
  ExpectRefused("El correo electrónico no es valido", 4, "txtProMail");
  Control<QLineEdit>("txtProMail").setText("  Aviso.Cliente@Example.ORG ");
  EXPECT_TRUE(fakes.logon_calls.empty()) << "the logon is checked after the mail";
  ExpectRefused("La contraseña no es valida", 4, "txtWinPas");
  fakes.logon_valid = true;
  ExpectRefused("Debe seleccionar a lo menos un día de la semana", 4, "chkSem(0)");
  Day(4).setChecked(true);
  ExpectRefused("Debe ingresar cantidad de copias", 4, "txtCopias");
  Control<QLineEdit>("txtCopias").clear();
  ExpectRefused("Debe ingresar cantidad de copias", 4, "txtCopias");
  Control<QLineEdit>("txtCopias").setText("00");
  boxes.clear();
  EXPECT_TRUE(window->Guardar());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Get("Resp_ProgCopias"), "00");
  EXPECT_EQ(Get("Resp_ProgMail"), "  Aviso.Cliente@Example.ORG ");
}

TEST_F(SaveTest, MailAddressesThatFailAndPass) {
  OpenValid();
  for (const char* bad :
       {"a@b", "ana..x@b.cl", "@b.cl", "ana@b.cl.", "ana@x@b.cl", "an a@b.cl", "ana@b_.cl"}) {
    Control<QLineEdit>("txtProMail").setText(bad);
    ExpectRefused("El correo electrónico no es valido", 4, "txtProMail");
  }
  // The check applies whether or not the notice is ticked; an empty address is not checked.
  for (const char* good : {"ANA@EMPRESA.CL", " ana.p-r_1@sub.empresa.cl ", ""}) {
    Control<QLineEdit>("txtProMail").setText(good);
    boxes.clear();
    EXPECT_TRUE(window->Guardar()) << good;
    EXPECT_TRUE(boxes.empty()) << good;
  }
}

TEST_F(SaveTest, EmptyPasswordsAreNoMismatchAndRemoveTheAccessPassword) {
  Set("Clave", "vieja");
  state.sClave = "";
  OpenValid();
  EXPECT_TRUE(window->Guardar());
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(Get("Clave"), "");
  // The logon check runs on every save, with the fields as they are.
  ASSERT_EQ(fakes.logon_calls.size(), 1u);
  EXPECT_EQ(fakes.logon_calls[0].user, "ana");
  EXPECT_EQ(fakes.logon_calls[0].domain, "PC-OFICINA");
  EXPECT_EQ(fakes.logon_calls[0].password, "");
}

TEST_F(SaveTest, EveryValueWrittenInOrderAndTheTaskRegistered) {
  Set("Resp_Base", "1");
  Set("Resp_BaseBas", ",2,");
  Set("Resp_Archivo", "1");
  fakes.listing->entries = {"1 - master", "2 - Ventas", "123 - Compras"};
  fakes.listing->selected = {false, true, false};
  OpenValid();
  Control<QLineEdit>("txtClave").setText("acceso");
  Control<QLineEdit>("txtClaveConf").setText("acceso");
  fakes.file_chosen = "/home/ana/Datos/libro.xlsx";
  Control<QPushButton>("cndExaminar").click();
  Control<QPushButton>("cmdADD").click();
  Control<QRadioButton>("optArch(1)").setChecked(true);
  fakes.folder_chosen = "/srv/datos";
  Control<QPushButton>("cndExaminar").click();
  Control<QLineEdit>("txtFiltro").setText("*.xlsx");
  Control<QCheckBox>("chkArchSub").setChecked(true);
  Control<QPushButton>("cmdADD").click();
  Control<QCheckBox>("chktpo(1)").setChecked(false);  // the list is saved all the same
  Control<QRadioButton>("optBaseAut(0)").setChecked(true);
  Control<QLineEdit>("txtInstancia").setText("SQLEXPRESS");
  Control<QLineEdit>("txtBaseUsr").setText("sa");
  Control<QLineEdit>("txtBasePas").setText("clave-sa");
  auto& bases = Control<QListWidget>("lstBases");
  bases.item(1)->setSelected(false);
  bases.item(2)->setSelected(true);
  Control<QLineEdit>("txtSegPas").setText("cifrado");
  Control<QLineEdit>("txtSegPasRe").setText("cifrado");
  Day(0).setChecked(true);
  Day(4).setChecked(true);
  Control<QLineEdit>("mskProHora").setText("23:30");
  Control<QLineEdit>("txtCopias").setText("1,5");
  Control<QCheckBox>("chkProEnvMail").setChecked(true);
  Control<QCheckBox>("chkProRespLoc").setChecked(false);
  Control<QCheckBox>("chkDrive").setChecked(false);
  Control<QComboBox>("drvUnidad").setCurrentText("/srv/datos/");
  Control<QLineEdit>("txtProMail").setText("aviso@example.org");
  Control<QLineEdit>("txtWinDom").setText("OFICINA");
  Control<QLineEdit>("txtWinUsr").setText("usuario");
  Control<QLineEdit>("txtWinPas").setText("secreto ñ");
  Set("Resp_ArchRuta3", "/antes");  // stale values of set 3 are emptied

  std::vector<std::string> names;
  for (const auto& [name, data] : window->ValuesToSave()) names.push_back(name);
  const std::vector<std::string> expected_names = {
      "Clave",          "Resp_Archivo",  "Resp_Base",       "Resp_ArchRuta",  "Resp_ArchNom",
      "Resp_ArchTipo",  "Resp_ArchSub",  "Resp_ArchFil",    "Resp_ArchRuta2", "Resp_ArchNom2",
      "Resp_ArchTipo2", "Resp_ArchSub2", "Resp_ArchFil2",   "Resp_ArchRuta3", "Resp_ArchNom3",
      "Resp_ArchTipo3", "Resp_ArchSub3", "Resp_ArchFil3",   "Resp_ArchRuta",  "Resp_ArchNom",
      "Resp_ArchTipo",  "Resp_ArchSub",  "Resp_ArchFil",    "Resp_ArchRuta2", "Resp_ArchNom2",
      "Resp_ArchTipo2", "Resp_ArchSub2", "Resp_ArchFil2",   "Resp_BaseAut",   "Resp_BaseSer",
      "Resp_BaseIns",   "Resp_BaseUsr",  "Resp_BasePas",    "Resp_BaseBas",   "Resp_SeguPas",
      "Resp_ProgSem",   "Resp_ProgHora", "Resp_ProgCopias", "Resp_ProgEnv",   "Resp_ProgRespLoc",
      "Resp_Drive",     "Resp_ProgMail", "Resp_ProgWDom",   "Resp_ProgWUsr",  "Resp_ProgWPas"};
  EXPECT_EQ(names, expected_names);

  ASSERT_TRUE(window->Guardar());
  EXPECT_TRUE(boxes.empty());
  const std::map<std::string, std::string> expected = {
      {"Clave", "acceso"},
      {"Resp_Archivo", "0"},
      {"Resp_Base", "1"},
      {"Resp_ArchRuta", "/home/ana/Datos/"},
      {"Resp_ArchNom", "libro.xlsx"},
      {"Resp_ArchTipo", "A"},
      {"Resp_ArchSub", "0"},
      {"Resp_ArchFil", ""},
      {"Resp_ArchRuta2", "/srv/datos"},
      {"Resp_ArchNom2", ""},
      {"Resp_ArchTipo2", "C"},
      {"Resp_ArchSub2", "1"},
      {"Resp_ArchFil2", "*.xlsx"},
      {"Resp_ArchRuta3", ""},
      {"Resp_ArchNom3", ""},
      {"Resp_ArchTipo3", ""},
      {"Resp_ArchSub3", ""},
      {"Resp_ArchFil3", ""},
      {"Resp_BaseAut", "Aut1"},
      {"Resp_BaseSer", "PC-OFICINA"},
      {"Resp_BaseIns", "SQLEXPRESS"},
      {"Resp_BaseUsr", "sa"},
      {"Resp_BasePas", "clave-sa"},
      {"Resp_BaseBas", ",123,"},
      {"Resp_SeguPas", "cifrado"},
      {"Resp_ProgSem", ",MON,FRI,"},
      {"Resp_ProgHora", "23:30"},
      {"Resp_ProgCopias", "1,5"},
      {"Resp_ProgEnv", "1"},
      {"Resp_ProgRespLoc", "0"},
      {"Resp_Drive", "/srv/datos/"},
      {"Resp_ProgMail", "aviso@example.org"},
      {"Resp_ProgWDom", "T0ZJQ0lOQQ=="},
      {"Resp_ProgWUsr", "dXN1YXJpbw=="},
      {"Resp_ProgWPas", settings::EncodeSetting("secreto ñ")}};
  for (const auto& [name, value] : expected) EXPECT_EQ(Get(name.c_str()), value) << name;
  EXPECT_EQ(settings::DecodeSetting(Get("Resp_ProgWPas")), "secreto ñ");

  ASSERT_EQ(fakes.schedules.size(), 1u);
  const config::ScheduleRequest& task = fakes.schedules[0];
  EXPECT_EQ(task.day_text, ",MON,FRI,");
  EXPECT_EQ(task.time, "23:30");
  EXPECT_EQ(task.domain, "OFICINA");
  EXPECT_EQ(task.user, "usuario");
  EXPECT_EQ(task.password, "secreto ñ");
  EXPECT_EQ(fakes.calls.back(), "registerSchedule");
}

TEST_F(SaveTest, TwoEntriesSavedAndReopened) {
  OpenValid();
  for (const char* folder : {"/uno", "/dos"}) {
    Control<QRadioButton>("optArch(1)").setChecked(true);
    fakes.folder_chosen = folder;
    Control<QPushButton>("cndExaminar").click();
    Control<QPushButton>("cmdADD").click();
  }
  Set("Resp_ArchRuta3", "/tres");
  Set("Resp_ArchFil3", "*.*");
  ASSERT_TRUE(window->Guardar());
  for (const char* name :
       {"Resp_ArchRuta3", "Resp_ArchNom3", "Resp_ArchTipo3", "Resp_ArchSub3", "Resp_ArchFil3"}) {
    EXPECT_EQ(Get(name), "") << name;
  }
  window->close();
  Open();
  auto& list = Control<QListWidget>("lstArchivo");
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.item(0)->text(), "CAR | /uno | *.* | 0");
  EXPECT_EQ(list.item(1)->text(), "CAR | /dos | *.* | 0");
}

TEST_F(SaveTest, DefaultsStoreTheirPlainValues) {
  OpenValid();
  ASSERT_TRUE(window->Guardar());
  EXPECT_EQ(Get("Resp_Drive"), "");
  EXPECT_EQ(Get("Resp_BaseAut"), "Aut2");
  EXPECT_EQ(Get("Resp_BaseBas"), ",");
  EXPECT_EQ(Get("Resp_ProgSem"), ",MON,");
  EXPECT_EQ(Get("Resp_ProgHora"), "__:__");  // an unfilled time box, as shown
  EXPECT_EQ(Get("Resp_ProgRespLoc"), "1");
  EXPECT_EQ(Get("Resp_ArchRuta"), "");
  window->close();
  Open();
  EXPECT_TRUE(Control<QCheckBox>("chkDrive").isChecked());
  EXPECT_TRUE(Control<QComboBox>("drvUnidad").isHidden());
}

TEST_F(SaveTest, AceptarAplicarCancelarAndTheAccessPassword) {
  state.sClave = "acceso";
  OpenValid();
  // Aplicar keeps the window open whatever the result.
  Control<QCheckBox>("chkSem(0)").setChecked(false);
  Control<QPushButton>("cndAplicar").click();
  EXPECT_FALSE(window.isNull());
  Control<QCheckBox>("chkSem(0)").setChecked(true);
  Control<QPushButton>("cndAplicar").click();
  ASSERT_FALSE(window.isNull());
  EXPECT_EQ(Get("Resp_ProgSem"), ",MON,");
  // Aceptar closes only after a good save; closing forgets the access password.
  Control<QCheckBox>("chkSem(0)").setChecked(false);
  Control<QPushButton>("cmdAceptar").click();
  ASSERT_FALSE(window.isNull());
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(state.sClave, "acceso");
  Control<QCheckBox>("chkSem(6)").setChecked(true);
  Control<QPushButton>("cmdAceptar").click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(state.sClave, "");
  EXPECT_EQ(Get("Resp_ProgSem"), ",SUN,");

  // Cancelar closes without writing.
  state.sClave = "acceso";
  OpenValid();
  Day(2).setChecked(true);
  Control<QPushButton>("cmdCancelar").click();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(window.isNull());
  EXPECT_EQ(Get("Resp_ProgSem"), ",SUN,");
  EXPECT_EQ(state.sClave, "");
  EXPECT_EQ(fakes.schedules.size(), 2u);
}

TEST_F(SaveTest, AStoreThatCannotBeWrittenIsSaidUnderNorvo) {
  OpenValid();
  setenv("NORVO_REGISTRY", "/proc/norvo-no-existe/registry.db", 1);
  EXPECT_FALSE(window->Guardar());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Norvo");
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_TRUE(boxes[0].text.startsWith("No se pudo guardar la configuración")) << boxes[0].text.toStdString();
  EXPECT_TRUE(fakes.schedules.empty());
  EXPECT_FALSE(window.isNull());
}

}  // namespace
}  // namespace norvo::test
