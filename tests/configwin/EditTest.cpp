// Editing in the window: the reactions of the controls, "Examinar",
// "Agregar >>>" with its silent focus rules and the double-click editing of
// a file-list entry.
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

namespace norvo::test {
namespace {

class EditTest : public ConfigWindowTest {
 protected:
  // Opens and shows the window on the "Archivo" tab, so focus can be followed.
  void OpenOnArchivo() {
    OpenWithBothTabs();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    Control<QTabWidget>("sTab").setCurrentIndex(1);
  }
  void ChooseFolder(const QString& folder, const QString& pattern, bool subfolders) {
    Control<QRadioButton>("optArch(1)").setChecked(true);
    fakes.folder_chosen = folder;
    Control<QPushButton>("cndExaminar").click();
    Control<QLineEdit>("txtFiltro").setText(pattern);
    Control<QCheckBox>("chkArchSub").setChecked(subfolders);
  }
  QListWidget& List() { return Control<QListWidget>("lstArchivo"); }
};

TEST_F(EditTest, TicksMakeTabsUsableAndBoxesShowPasswords) {
  OpenWithBothTabs();
  auto& tabs = Control<QTabWidget>("sTab");
  Control<QCheckBox>("chktpo(2)").click();
  EXPECT_FALSE(tabs.isTabEnabled(2));
  EXPECT_TRUE(tabs.isTabEnabled(1));
  Control<QCheckBox>("chktpo(1)").click();
  EXPECT_FALSE(tabs.isTabEnabled(1));
  Control<QCheckBox>("chktpo(2)").click();
  EXPECT_TRUE(tabs.isTabEnabled(2));

  Control<QCheckBox>("chkBasePas").click();
  EXPECT_EQ(Control<QLineEdit>("txtBasePas").echoMode(), QLineEdit::Normal);
  Control<QLineEdit>("txtBasePas").setText("clave");
  Control<QCheckBox>("chkBasePas").click();
  EXPECT_EQ(Control<QLineEdit>("txtBasePas").displayText(), "*****");
  Control<QCheckBox>("chkSegPas").click();
  EXPECT_EQ(Control<QLineEdit>("txtSegPas").echoMode(), QLineEdit::Normal);
  EXPECT_EQ(Control<QLineEdit>("txtSegPasRe").echoMode(), QLineEdit::Normal);

  Control<QCheckBox>("chkDrive").click();
  EXPECT_EQ(Control<QCheckBox>("chkDrive").text(), "Drive");
  EXPECT_FALSE(Control<QComboBox>("drvUnidad").isHidden());
  Control<QCheckBox>("chkDrive").click();
  EXPECT_EQ(Control<QCheckBox>("chkDrive").text(), "Drive por defecto");
  EXPECT_TRUE(Control<QComboBox>("drvUnidad").isHidden());
}

TEST_F(EditTest, FileOrFolderModeShowsItsOwnFields) {
  OpenWithBothTabs();
  EXPECT_FALSE(Control<QLabel>("lblArchivo").isHidden());
  EXPECT_FALSE(Control<QLabel>("Label8(1)").isHidden());
  EXPECT_TRUE(Control<QLineEdit>("txtFiltro").isHidden());
  EXPECT_TRUE(Control<QLabel>("Label7").isHidden());
  EXPECT_TRUE(Control<QCheckBox>("chkArchSub").isHidden());
  Control<QRadioButton>("optArch(1)").click();
  EXPECT_TRUE(Control<QLabel>("lblArchivo").isHidden());
  EXPECT_TRUE(Control<QLabel>("Label8(1)").isHidden());
  EXPECT_FALSE(Control<QLineEdit>("txtFiltro").isHidden());
  EXPECT_FALSE(Control<QLabel>("Label7").isHidden());
  EXPECT_FALSE(Control<QCheckBox>("chkArchSub").isHidden());
}

TEST_F(EditTest, CopiesBoxTakesDigitsAndCommaOnly) {
  Open();
  auto& copias = Control<QLineEdit>("txtCopias");
  copias.clear();
  QTest::keyClicks(&copias, "1.5a-x2");
  EXPECT_EQ(copias.text(), "1,52");
  QTest::keyClick(&copias, Qt::Key_Backspace);
  EXPECT_EQ(copias.text(), "1,5");
  copias.setCursorPosition(0);
  QTest::keyClick(&copias, Qt::Key_Delete);
  EXPECT_EQ(copias.text(), ",5");
}

TEST_F(EditTest, TheWebPictureOpensTheProviderSite) {
  WriteProvider({{"web_address", "https://www.proveedor.test"}});
  Open();
  QTest::mouseClick(&Control<QLabel>("Image2"), Qt::LeftButton);
  ASSERT_EQ(fakes.addresses.size(), 1u);
  EXPECT_EQ(fakes.addresses[0], "https://www.proveedor.test");
}

TEST_F(EditTest, ExaminarChoosesAFileOrAFolder) {
  OpenWithBothTabs();
  fakes.file_chosen = "/home/ana/Datos/libro.xlsx";
  Control<QPushButton>("cndExaminar").click();
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "/home/ana/Datos/");
  EXPECT_EQ(Control<QLabel>("lblArchivo").text(), "libro.xlsx");
  // A cancelled file dialog changes nothing.
  fakes.file_chosen.clear();
  Control<QPushButton>("cndExaminar").click();
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "/home/ana/Datos/");
  EXPECT_EQ(Control<QLabel>("lblArchivo").text(), "libro.xlsx");

  Control<QRadioButton>("optArch(1)").setChecked(true);
  fakes.folder_chosen = "/srv/compartido";
  Control<QPushButton>("cndExaminar").click();
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "/srv/compartido");
  // A cancelled folder browser empties the folder.
  fakes.folder_chosen.clear();
  Control<QPushButton>("cndExaminar").click();
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "");
  EXPECT_EQ(fakes.dialog_titles, (std::vector<QString>{"Buscar Archivo", "Buscar Archivo", "", ""}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(EditTest, AgregarRefusesSilentlyWithTheFocusOnWhatIsMissing) {
  OpenOnArchivo();
  Control<QPushButton>("cmdADD").click();  // no folder
  EXPECT_EQ(window->focusWidget(), &Control<QPushButton>("cndExaminar"));
  fakes.folder_chosen = "/srv/datos";
  Control<QPushButton>("cndExaminar").click();
  Control<QPushButton>("cmdConectar").setFocus();
  Control<QPushButton>("cmdADD").click();  // file mode, no file
  EXPECT_EQ(window->focusWidget(), &Control<QPushButton>("cndExaminar"));
  for (const char* pattern : {"*.", "abcd", ""}) {
    ChooseFolder("/srv/datos", pattern, false);
    Control<QPushButton>("cndExaminar").setFocus();
    Control<QPushButton>("cmdADD").click();
    EXPECT_EQ(window->focusWidget(), &Control<QLineEdit>("txtFiltro")) << pattern;
  }
  EXPECT_EQ(List().count(), 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(EditTest, EntriesOfFilesAndFoldersUpToThree) {
  OpenOnArchivo();
  fakes.file_chosen = "/home/ana/Datos/libro.xlsx";
  Control<QPushButton>("cndExaminar").click();
  Control<QPushButton>("cmdADD").click();
  ASSERT_EQ(List().count(), 1);
  EXPECT_EQ(List().item(0)->text(), "ARC | /home/ana/Datos/ | libro.xlsx | 0");
  EXPECT_EQ(window->Trae_ADD(), "ARC |  |  | 0");  // the fields were cleared

  ChooseFolder("/srv/datos", "*.xlsx", true);
  Control<QPushButton>("cmdADD").click();
  EXPECT_EQ(List().item(1)->text(), "CAR | /srv/datos | *.xlsx | 1");
  EXPECT_EQ(Control<QLineEdit>("txtFiltro").text(), "*.*");
  EXPECT_FALSE(Control<QCheckBox>("chkArchSub").isChecked());
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "");
  EXPECT_TRUE(Control<QPushButton>("cmdADD").isEnabled());

  // The same folder again is allowed; it is the third entry and the last.
  ChooseFolder("/srv/datos", "*.xlsx", true);
  Control<QPushButton>("cmdADD").click();
  EXPECT_EQ(List().count(), 3);
  EXPECT_FALSE(Control<QPushButton>("cmdADD").isEnabled());
  window->cmdADD_Click();  // even called directly, a fourth is not added
  EXPECT_EQ(List().count(), 3);
}

TEST_F(EditTest, DoubleClickTakesTheEntryBackForEditing) {
  for (const char* suffix : {"", "2", "3"}) {
    Set((std::string("Resp_ArchRuta") + suffix).c_str(), std::string("/datos") + suffix);
    Set((std::string("Resp_ArchTipo") + suffix).c_str(), "C");
    Set((std::string("Resp_ArchFil") + suffix).c_str(), std::string("*.t") + suffix);
    Set((std::string("Resp_ArchSub") + suffix).c_str(), "1");
  }
  Set("Resp_ArchTipo", "A");
  Set("Resp_ArchNom", "libro.xlsx");
  Set("Resp_ArchSub", "");
  OpenOnArchivo();
  ASSERT_EQ(List().count(), 3);
  ASSERT_FALSE(Control<QPushButton>("cmdADD").isEnabled());

  window->lstArchivo_DblClick();  // nothing selected: nothing happens
  EXPECT_EQ(List().count(), 3);

  List().setCurrentRow(1);
  window->lstArchivo_DblClick();
  EXPECT_EQ(List().count(), 2);
  EXPECT_TRUE(Control<QRadioButton>("optArch(1)").isChecked());
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "/datos2");
  EXPECT_EQ(Control<QLineEdit>("txtFiltro").text(), "*.t2");
  EXPECT_TRUE(Control<QCheckBox>("chkArchSub").isChecked());
  EXPECT_TRUE(Control<QPushButton>("cmdADD").isEnabled());

  // A real double-click on the single-file entry; its empty subfolder field reads as 0.
  QListWidgetItem* first = List().item(0);
  List().setCurrentItem(first);
  const QRect area = List().visualItemRect(first);
  QTest::mouseClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, area.center());
  QTest::mouseDClick(List().viewport(), Qt::LeftButton, Qt::NoModifier, area.center());
  EXPECT_EQ(List().count(), 1);
  EXPECT_TRUE(Control<QRadioButton>("optArch(0)").isChecked());
  EXPECT_EQ(Control<QLabel>("lblRuta").text(), "/datos");
  EXPECT_EQ(Control<QLabel>("lblArchivo").text(), "libro.xlsx");
  EXPECT_FALSE(Control<QCheckBox>("chkArchSub").isChecked());
}

}  // namespace
}  // namespace norvo::test
