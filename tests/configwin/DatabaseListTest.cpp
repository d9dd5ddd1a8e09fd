// The database tab against the SQL Server stand-in, through the program's
// own connection routines: the listing at load with the stored selection,
// the selection saved and found again, and a server that cannot be reached.
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "ConfigWindowFixture.h"
#include "peers/TdsPeer.h"

namespace norvo::test {
namespace {

class DatabaseTabTest : public ConfigWindowTest {
 protected:
  void SetUp() override {
    ConfigWindowTest::SetUp();
    WriteProvider({{"odbc_driver", "FreeTDS"}});
    const config::ConfigServices real = config::DefaultConfigServices(Context());
    fakes.real_list = real.listDatabases;
    Set("Resp_Base", "1");
    Set("Resp_BaseAut", "Aut2");
    Set("Resp_BaseUsr", "sa");
    Set("Resp_BasePas", "secret");
  }
  QStringList Selected() {
    QStringList selected;
    for (QListWidgetItem* item : Control<QListWidget>("lstBases").selectedItems()) selected << item->text();
    return selected;
  }
};

TEST_F(DatabaseTabTest, StoredSelectionIsListedSavedAndFoundAgain) {
  TdsPeer server(Path("").toStdString(),
                 R"({"databases": [[1, "master"], [2, "tempdb"], [3, "model"], [4, "msdb"],
                                   [5, "Ventas"], [6, "Compras"], [123, "Facturación"]]})");
  ASSERT_TRUE(server.Started());
  fakes.computer_name = server.Server();
  Set("Resp_BaseBas", ",5,");
  Open();
  auto& list = Control<QListWidget>("lstBases");
  ASSERT_EQ(list.count(), 7);
  EXPECT_EQ(list.item(6)->text(), "123 - Facturación");
  EXPECT_EQ(Selected(), QStringList({"5 - Ventas"}));
  EXPECT_EQ(server.Logins(), (std::vector<std::string>{"sa:ok"}));
  EXPECT_TRUE(boxes.empty());

  list.item(4)->setSelected(false);
  list.item(6)->setSelected(true);
  Control<QCheckBox>("chkSem(0)").setChecked(true);
  Control<QLineEdit>("txtCopias").setText("2");
  ASSERT_TRUE(window->Guardar());
  EXPECT_EQ(Get("Resp_BaseBas"), ",123,");
  EXPECT_EQ(Get("Resp_BaseSer"), server.Server());

  Open();
  EXPECT_EQ(Selected(), QStringList({"123 - Facturación"}));
}

TEST_F(DatabaseTabTest, UnreachableServerIsSaidAndTheWindowStillOpens) {
  fakes.computer_name = "127.0.0.1,1";
  Open();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].title, "Norvo");
  EXPECT_EQ(boxes[0].icon, tray::BoxIcon::Critical);
  EXPECT_FALSE(boxes[0].text.isEmpty());
  EXPECT_EQ(Control<QListWidget>("lstBases").count(), 0);
  EXPECT_EQ(Control<QPushButton>("cmdADD").text(), "Agregar >>>");  // the load went on to its end
}

}  // namespace
}  // namespace norvo::test
