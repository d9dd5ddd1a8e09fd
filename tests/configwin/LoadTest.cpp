// The window as it opens: its controls and texts, and every setting loaded
// from a prepared store, with the cloud test and the database list.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <set>

#include "ConfigWindowFixture.h"
#include "settings/Base64.h"

namespace norvo::test {
namespace {

QStringList Entries(const QListWidget& list) {
  QStringList entries;
  for (int row = 0; row < list.count(); ++row) entries << list.item(row)->text();
  return entries;
}

class LoadTest : public ConfigWindowTest {};

TEST_F(LoadTest, TabsControlsAndDesignTexts) {
  Open();
  EXPECT_EQ(window->windowTitle(), "Configuración");
  auto& tabs = Control<QTabWidget>("sTab");
  ASSERT_EQ(tabs.count(), 5);
  QStringList titles;
  for (int i = 0; i < 5; ++i) titles << tabs.tabText(i);
  EXPECT_EQ(titles, QStringList({"Tipo", "Archivo", "Base de Dato", "Seguridad", "Programación"}));

  const char* days[][2] = {{"Lunes", "MON"},   {"Martes", "TUE"}, {"Miércoles", "WED"}, {"Jueves", "THU"},
                           {"Viernes", "FRI"}, {"Sábado", "SAT"}, {"Domingo", "SUN"}};
  for (int i = 0; i < 7; ++i) {
    auto& box = Control<QCheckBox>(QString("chkSem(%1)").arg(i).toUtf8().constData());
    EXPECT_EQ(box.text(), QString::fromUtf8(days[i][0]));
    EXPECT_EQ(box.property("tag").toString(), days[i][1]);
  }
  EXPECT_EQ(Control<QCheckBox>("chktpo(1)").text(), "Archivo");
  EXPECT_EQ(Control<QCheckBox>("chktpo(2)").text(), "Base de dato");
  EXPECT_EQ(Control<QRadioButton>("optArch(0)").text(), "Archivo");
  EXPECT_EQ(Control<QRadioButton>("optArch(1)").text(), "Carpeta");
  EXPECT_EQ(Control<QLabel>("Label8(0)").text(), "Ruta");
  EXPECT_EQ(Control<QLabel>("Label8(1)").text(), "Archivo");
  EXPECT_EQ(Control<QLineEdit>("txtFiltro").text(), "*.*");
  EXPECT_EQ(Control<QLineEdit>("txtFiltro").toolTip(), "Ejemplos: *.xlsx Art*.txt  f*.* fuen*.e*");
  EXPECT_EQ(Control<QLabel>("Label7").text(), "Ejemplo: *.xlsx para Libro Excel");
  EXPECT_EQ(Control<QCheckBox>("chkArchSub").text(), "Incluir Sub-Carpetas");
  EXPECT_EQ(Control<QPushButton>("cndExaminar").text(), "Examinar");
  EXPECT_EQ(Control<QPushButton>("cmdADD").text(), "Agregar >>>");
  EXPECT_EQ(Control<QRadioButton>("optBaseAut(0)").text(),
            "Con autenticación de Windows NT, mediante el Id. de inicio de sesión de red");
  EXPECT_EQ(Control<QRadioButton>("optBaseAut(1)").text(),
            "Con autenticación de SQL Server, mediante un Id. de inicio de sesión y una contraseña esctitos "
            "por el usuario.");
  EXPECT_EQ(Control<QPushButton>("cmdConectar").text(), "Conectar");
  EXPECT_EQ(Control<QListWidget>("lstBases").selectionMode(), QAbstractItemView::MultiSelection);
  EXPECT_EQ(Control<QCheckBox>("chkSegPas").text(), "Ver contraseña");
  EXPECT_EQ(Control<QLineEdit>("mskProHora").inputMask(), "99:99;_");
  EXPECT_EQ(Control<QCheckBox>("chkProEnvMail").text(), "Enviar E-Mail de aviso ");
  EXPECT_EQ(Control<QCheckBox>("chkProRespLoc").text(), "Mantener respaldo local (recomenado)");
  EXPECT_EQ(Control<QCheckBox>("chkDrive").toolTip(), "Si deseas cambiar la unidad temporal por defecto");
  EXPECT_EQ(Control<QLabel>("Label25").text(), "Se encuentra bloqueada la cuenta.");
  EXPECT_EQ(Control<QPushButton>("cmdAceptar").text(), "&Aceptar");
  EXPECT_EQ(Control<QPushButton>("cndAplicar").text(), "A&plicar");
  EXPECT_EQ(Control<QPushButton>("cmdCancelar").text(), "&Cancelar");
  for (const char* name :
       {"txtClave", "txtClaveConf", "txtBasePas", "txtSegPas", "txtSegPasRe", "txtWinPas"}) {
    auto& box = Control<QLineEdit>(name);
    EXPECT_EQ(box.echoMode(), QLineEdit::Password) << name;
    box.setText("añ1");
    EXPECT_EQ(box.displayText(), "***") << name;  // stars, whatever the style's own mark
  }
}

TEST_F(LoadTest, EmptyStoreOpensWithTheDefaults) {
  state.sClave = "";
  Open();
  EXPECT_FALSE(Control<QCheckBox>("chktpo(1)").isChecked());
  EXPECT_FALSE(Control<QTabWidget>("sTab").isTabEnabled(1));
  EXPECT_FALSE(Control<QTabWidget>("sTab").isTabEnabled(2));
  EXPECT_TRUE(Control<QRadioButton>("optArch(0)").isChecked());
  EXPECT_TRUE(Control<QRadioButton>("optBaseAut(1)").isChecked());
  EXPECT_TRUE(Control<QCheckBox>("chkProRespLoc").isChecked());  // missing value: ticked
  EXPECT_TRUE(Control<QCheckBox>("chkDrive").isChecked());
  EXPECT_EQ(Control<QCheckBox>("chkDrive").text(), "Drive por defecto");
  EXPECT_TRUE(Control<QComboBox>("drvUnidad").isHidden());
  EXPECT_EQ(Control<QLabel>("lblNomServ").text(), "PC-OFICINA");
  // No stored account: the logged-on user fills it.
  EXPECT_EQ(Control<QLineEdit>("txtWinUsr").text(), "ana");
  EXPECT_EQ(Control<QLineEdit>("txtWinDom").text(), "PC-OFICINA");
  // Nothing reached by the cloud test: every failure mark, no success mark, no lock note.
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(Control<QLabel>(QString("Image7(%1)").arg(i).toUtf8().constData()).isHidden());
    EXPECT_TRUE(Control<QLabel>(QString("Image6(%1)").arg(i).toUtf8().constData()).isHidden());
  }
  EXPECT_TRUE(Control<QLabel>("Label25").isHidden());
  // Without "Base de dato" the list is not asked for.
  EXPECT_TRUE(fakes.database_logins.empty());
  EXPECT_TRUE(boxes.empty());
}

TEST_F(LoadTest, EverySettingReachesItsControlInOrder) {
  state.sClave = "acceso";
  Set("Resp_Archivo", "1");
  Set("Resp_Base", "0");
  Set("Resp_ArchRuta", "/datos/");
  Set("Resp_ArchTipo", "A");
  Set("Resp_ArchNom", "libro.xlsx");
  Set("Resp_ArchFil", "ignorado");
  Set("Resp_ArchSub", "0");
  Set("Resp_ArchRuta2", "");  // set 2 empty: no entry
  Set("Resp_ArchTipo2", "C");
  Set("Resp_ArchRuta3", "/srv/compartido");
  Set("Resp_ArchTipo3", "C");
  Set("Resp_ArchNom3", "ignorado");
  Set("Resp_ArchFil3", "*.docx");
  Set("Resp_ArchSub3", "1");
  Set("Resp_BaseAut", "Aut1");
  Set("Resp_BaseIns", "SQLEXPRESS");
  Set("Resp_BaseUsr", "sa");
  Set("Resp_BasePas", "clave-sa");
  Set("Resp_SeguPas", "cifrado");
  Set("Resp_ProgSem", ",TUE,SUN,");
  Set("Resp_ProgHora", "23:30");
  Set("Resp_ProgCopias", "7");
  Set("Resp_ProgRespLoc", "0");
  Set("Resp_ProgEnv", "1");
  Set("Resp_ProgMail", "aviso@example.org");
  Set("Resp_ProgWDom", settings::EncodeSetting("OFICINA"));
  Set("Resp_ProgWUsr", settings::EncodeSetting("usuario"));
  Set("Resp_ProgWPas", settings::EncodeSetting("secreto ñ"));
  Set("Resp_Drive", "/srv/datos/");
  Open();

  EXPECT_EQ(Control<QLineEdit>("txtClave").text(), "acceso");
  EXPECT_EQ(Control<QLineEdit>("txtClaveConf").text(), "acceso");
  EXPECT_TRUE(Control<QCheckBox>("chktpo(1)").isChecked());
  EXPECT_FALSE(Control<QCheckBox>("chktpo(2)").isChecked());
  EXPECT_TRUE(Control<QTabWidget>("sTab").isTabEnabled(1));
  EXPECT_FALSE(Control<QTabWidget>("sTab").isTabEnabled(2));
  EXPECT_EQ(Entries(Control<QListWidget>("lstArchivo")),
            QStringList({"ARC | /datos/ | libro.xlsx | 0", "CAR | /srv/compartido | *.docx | 1"}));
  EXPECT_TRUE(Control<QRadioButton>("optBaseAut(0)").isChecked());
  EXPECT_EQ(Control<QLineEdit>("txtInstancia").text(), "SQLEXPRESS");
  EXPECT_EQ(Control<QLineEdit>("txtBaseUsr").text(), "sa");
  EXPECT_EQ(Control<QLineEdit>("txtBasePas").text(), "clave-sa");
  EXPECT_EQ(Control<QLineEdit>("txtSegPas").text(), "cifrado");
  EXPECT_EQ(Control<QLineEdit>("txtSegPasRe").text(), "cifrado");
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(Control<QCheckBox>(QString("chkSem(%1)").arg(i).toUtf8().constData()).isChecked(),
              i == 1 || i == 6);
  }
  EXPECT_EQ(Control<QLineEdit>("mskProHora").displayText(), "23:30");
  EXPECT_EQ(Control<QLineEdit>("txtCopias").text(), "7");
  EXPECT_FALSE(Control<QCheckBox>("chkProRespLoc").isChecked());
  EXPECT_TRUE(Control<QCheckBox>("chkProEnvMail").isChecked());
  EXPECT_EQ(Control<QLineEdit>("txtProMail").text(), "aviso@example.org");
  EXPECT_EQ(Control<QLineEdit>("txtWinDom").text(), "OFICINA");
  EXPECT_EQ(Control<QLineEdit>("txtWinUsr").text(), "usuario");
  EXPECT_EQ(Control<QLineEdit>("txtWinPas").text(), "secreto ñ");
  EXPECT_FALSE(Control<QCheckBox>("chkDrive").isChecked());
  EXPECT_EQ(Control<QCheckBox>("chkDrive").text(), "Drive");
  EXPECT_FALSE(Control<QComboBox>("drvUnidad").isHidden());
  EXPECT_EQ(Control<QComboBox>("drvUnidad").currentText(), "/srv/datos/");
  // The start-up registration comes first; a stored user is not replaced.
  ASSERT_FALSE(fakes.calls.empty());
  EXPECT_EQ(fakes.calls.front(), "registerStartup");
  EXPECT_EQ(std::count(fakes.calls.begin(), fakes.calls.end(), "loggedOnUser"), 0);
  EXPECT_TRUE(Control<QPushButton>("cmdADD").isEnabled());
}

TEST_F(LoadTest, ThreeStoredSetsMakeAgregarUnavailable) {
  Set("Resp_Archivo", "1");
  for (const char* suffix : {"", "2", "3"}) {
    Set((std::string("Resp_ArchRuta") + suffix).c_str(), std::string("/datos") + suffix);
    Set((std::string("Resp_ArchTipo") + suffix).c_str(), "C");
    Set((std::string("Resp_ArchFil") + suffix).c_str(), "*.*");
    Set((std::string("Resp_ArchSub") + suffix).c_str(), "0");
  }
  Open();
  EXPECT_TRUE(Control<QTabWidget>("sTab").isTabEnabled(1));
  EXPECT_EQ(Control<QListWidget>("lstArchivo").count(), 3);
  EXPECT_FALSE(Control<QPushButton>("cmdADD").isEnabled());
}

TEST_F(LoadTest, DamagedStoredValuesAreSkippedAndTheLoadGoesOn) {
  Set("Resp_ProgWDom", settings::EncodeSetting("OFICINA"));
  Set("Resp_ProgWUsr", "abc");   // not Base64: length
  Set("Resp_ProgWPas", "ab*d");  // not Base64: character
  Set("Resp_ProgCopias", "3");
  Set("Resp_Drive", "/ya/no/existe/");
  Open();
  // The user field stayed empty, so the logged-on user filled the account.
  EXPECT_EQ(Control<QLineEdit>("txtWinUsr").text(), "ana");
  EXPECT_EQ(Control<QLineEdit>("txtWinPas").text(), "");
  EXPECT_EQ(Control<QLineEdit>("txtCopias").text(), "3");
  // A drive this computer no longer offers is kept, not silently replaced.
  EXPECT_EQ(Control<QComboBox>("drvUnidad").currentText(), "/ya/no/existe/");
  EXPECT_EQ(std::count(fakes.calls.begin(), fakes.calls.end(), "testCloud"), 1);
}

TEST_F(LoadTest, CloudMarksAndTheLockedAccountUnderTheBusyPointer) {
  fakes.marks.success = {true, true, false};
  fakes.marks.blocked = true;
  Open();
  for (int i = 0; i < 3; ++i) {
    const bool ok = i < 2;
    EXPECT_EQ(Control<QLabel>(QString("Image6(%1)").arg(i).toUtf8().constData()).isHidden(), !ok) << i;
    EXPECT_EQ(Control<QLabel>(QString("Image7(%1)").arg(i).toUtf8().constData()).isHidden(), ok) << i;
  }
  EXPECT_FALSE(Control<QLabel>("Label25").isHidden());
  ASSERT_EQ(fakes.pointers.size(), 1u);
  EXPECT_EQ(fakes.pointers[0], Qt::WaitCursor);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // Success and failure marks stand in one column; the captions do not move with the result.
  auto shown_columns = [this](const QString& last_mark) {
    window->show();
    std::set<int> marks, captions;
    for (int i = 0; i < 3; ++i) {
      const QString mark = (i < 2 ? QString("Image6(%1)") : last_mark).arg(i);
      marks.insert(Control<QLabel>(mark.toUtf8().constData()).x());
      captions.insert(Control<QLabel>(QString("lblTest%1").arg(i).toUtf8().constData()).x());
    }
    EXPECT_EQ(marks.size(), 1u);
    EXPECT_EQ(captions.size(), 1u);
    return *captions.begin();
  };
  const int mixed = shown_columns("Image7(%1)");
  fakes.marks.success = {true, true, true};
  Open();
  EXPECT_EQ(shown_columns("Image6(%1)"), mixed);
}

TEST_F(LoadTest, DatabaseListAtLoadAndOnConectar) {
  Set("Resp_Base", "1");
  Set("Resp_BaseAut", "Aut1");
  Set("Resp_BaseIns", "SQLEXPRESS");
  Set("Resp_BaseUsr", "sa");
  fakes.listing->entries = {"1 - master", "5 - Ventas"};
  fakes.listing->selected = {false, true};
  Open();
  auto& list = Control<QListWidget>("lstBases");
  EXPECT_EQ(Entries(list), QStringList({"1 - master", "5 - Ventas"}));
  EXPECT_FALSE(list.item(0)->isSelected());
  EXPECT_TRUE(list.item(1)->isSelected());
  ASSERT_EQ(fakes.database_logins.size(), 1u);
  EXPECT_EQ(fakes.database_logins[0].server, "PC-OFICINA");
  EXPECT_EQ(fakes.database_logins[0].instance, "SQLEXPRESS");
  EXPECT_TRUE(fakes.database_logins[0].windows);
  EXPECT_EQ(fakes.database_logins[0].user, "");  // a Windows login carries none
  // The cloud test, then the list, each under the busy pointer; the pointer is back after.
  EXPECT_EQ(fakes.pointers, (std::vector<Qt::CursorShape>{Qt::WaitCursor, Qt::WaitCursor}));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  // A connection that does not open keeps the list as it was.
  Control<QRadioButton>("optBaseAut(1)").setChecked(true);
  Control<QLineEdit>("txtBasePas").setText("clave");
  fakes.listing.reset();
  Control<QPushButton>("cmdConectar").click();
  ASSERT_EQ(fakes.database_logins.size(), 2u);
  EXPECT_FALSE(fakes.database_logins[1].windows);
  EXPECT_EQ(fakes.database_logins[1].user, "sa");
  EXPECT_EQ(fakes.database_logins[1].password, "clave");
  EXPECT_EQ(list.count(), 2);
  EXPECT_TRUE(boxes.empty());

  // A listing that stopped part-way: the entries read stay, the failure is shown under "Norvo".
  fakes.listing = config::DatabaseListing{{"1 - master"}, {false}, "Se perdió la conexión"};
  Control<QPushButton>("cmdConectar").click();
  EXPECT_EQ(Entries(list), QStringList({"1 - master"}));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Norvo");
  EXPECT_EQ(boxes[0].text, "Se perdió la conexión");
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);

  // Without "Base de dato" the button does nothing.
  Control<QCheckBox>("chktpo(2)").setChecked(false);
  Control<QPushButton>("cmdConectar").click();
  EXPECT_EQ(fakes.database_logins.size(), 3u);
}

}  // namespace
}  // namespace norvo::test
