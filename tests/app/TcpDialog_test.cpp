// The gateway address proposed as the scope's address, and the WiFi
// connection dialog that proposes it. Adapters and routing tables are
// fixtures: the test machine's own network proves nothing.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestApp.h"

#include <algorithm>
#include <ostream>

#include "app/GatewayAddress.h"
#include "app/TcpDialog.h"
#include "osc/OscTypes.h"

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& Text, std::ostream* Os) {
  *Os << '"' << Text.toStdString() << '"';
}

namespace {

// Addresses as the kernel prints them on a little-endian machine:
// 0104A8C0 is 192.168.4.1.
const char* const CRouteTable =
    "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
    "tun0\t00000000\t0100080A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n"
    "wlan0\t0000A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0\n"
    "wlan0\t0010A8C0\t0204A8C0\t0003\t0\t0\t600\t00FFFFFF\t0\t0\t0\n"
    "wlan0\t00000000\t0104A8C0\t0003\t0\t0\t600\t00000000\t0\t0\t0\n"
    "wlan0\t00000000\tFE04A8C0\t0003\t0\t0\t700\t00000000\t0\t0\t0\n"
    "eth0\t00000000\t0100000A\t0003\t0\t0\t100\t00000000\t0\t0\t0\n";

class GatewayAddressTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(Dir.isValid());
    QFile F(Table());
    ASSERT_TRUE(F.open(QIODevice::WriteOnly));
    F.write(CRouteTable);
  }
  QString Table() const { return Dir.filePath("route"); }

  QTemporaryDir Dir;
};

TEST_F(GatewayAddressTest, FirstAdapterWithHardwareAddressGivesItsFirstDefaultGateway) {
  const TNetworkAdapter Tun{"tun0", false}, Wlan{"wlan0", true}, Eth{"eth0", true},
      Bridge{"br0", true};
  struct TCase {
    const char* Name;
    std::vector<TNetworkAdapter> Adapters;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"skips adapters without hardware address", {Tun, Wlan, Eth}, "192.168.4.1"},
      {"later adapters play no part", {Eth, Wlan}, "10.0.0.1"},
      {"first adapter has no gateway", {Bridge, Wlan}, ""},
      {"no adapter has a hardware address", {Tun}, ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(GetGatewayAddress(C.Adapters, Table()), C.Expected);
  }
}

TEST_F(GatewayAddressTest, FailuresCarryTheirMessages) {
  try {
    GetGatewayAddress({}, Table());
    ADD_FAILURE() << "no error without adapters";
  } catch (const EOscError& E) {
    EXPECT_STREQ(E.what(), "No network adapter on the local computer.");
  }
  try {
    GetGatewayAddress({{"eth0", true}}, Dir.filePath("missing"));
    ADD_FAILURE() << "no error without routing table";
  } catch (const EOscError& E) {
    EXPECT_EQ(std::string(E.what()).rfind("System Error.  Code: 2.\r\n", 0), 0u) << E.what();
  }
}

TEST(SystemNetworkAdapters, LeavesLoopbackOut) {
  const auto Adapters = SystemNetworkAdapters();
  EXPECT_TRUE(std::none_of(Adapters.begin(), Adapters.end(),
                           [](const TNetworkAdapter& A) { return A.Name == "lo"; }));
}

class TcpDialogTest : public ::testing::Test {
protected:
  void SetUp() override { TestApp(); }
  void Create(TTcpDialog::TGatewayLookup Lookup) {
    Dialog = std::make_unique<TTcpDialog>(nullptr, std::move(Lookup));
    Host = Dialog->findChild<QComboBox*>("cbHost");
    PortText = Dialog->findChild<QLineEdit*>("txtPort");
    ASSERT_TRUE(Host && PortText);
  }

  std::unique_ptr<TTcpDialog> Dialog;
  QComboBox* Host = nullptr;
  QLineEdit* PortText = nullptr;
};

TEST_F(TcpDialogTest, ProposesTheGatewayBesideThePresets) {
  Create([] { return QStringLiteral("192.168.4.1"); });
  EXPECT_EQ(Dialog->windowTitle(), "WiFi Connection");
  EXPECT_EQ(Dialog->width(), 289);
  EXPECT_TRUE(Host->isEditable());
  EXPECT_EQ(Dialog->Host(), "192.168.4.1");
  EXPECT_EQ(Host->count(), 2);
  EXPECT_EQ(Dialog->Port(), 2000);

  Host->setCurrentIndex(1);
  EXPECT_EQ(Dialog->Host(), "169.254.1.1");
  Host->setEditText(" scope.local");
  EXPECT_EQ(Dialog->Host(), " scope.local") << "exactly as entered";
}

TEST_F(TcpDialogTest, WithoutNetworkAdapterProposesAnEmptyHost) {
  Create([]() -> QString { return GetGatewayAddress({}, "/proc/net/route"); });
  EXPECT_EQ(Dialog->Host(), "");
  EXPECT_EQ(Host->count(), 2) << "presets still offered";
  // The system's own lookup must not stop the dialog either.
  EXPECT_NO_THROW(TTcpDialog{});
}

TEST_F(TcpDialogTest, PortIsAnyWholeNumberAndOtherTextFailsNamingIt) {
  Create([] { return QString(); });
  struct TCase {
    const char* Text;
    int Expected;
  };
  for (const TCase& C :
       {TCase{"2000", 2000}, TCase{"0", 0}, TCase{"-7", -7}, TCase{"2147483647", 2147483647}}) {
    SCOPED_TRACE(C.Text);
    PortText->setText(C.Text);
    EXPECT_EQ(Dialog->Port(), C.Expected);
  }
  for (const char* Bad : {"20a0", "", "2147483648", "0x7D0"}) {
    SCOPED_TRACE(Bad);
    PortText->setText(Bad);
    try {
      Dialog->Port();
      ADD_FAILURE() << "accepted";
    } catch (const EOscError& E) {
      EXPECT_EQ(E.what(), "'" + std::string(Bad) + "' is not a valid integer value");
    }
  }
}

TEST_F(TcpDialogTest, OkClosesWhateverTheFieldsHold) {
  Create([] { return QString(); });
  PortText->setText("20a0");
  Dialog->show();
  Dialog->findChild<QPushButton*>("btnOK")->click();
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);
  Dialog->show();
  Dialog->findChild<QPushButton*>("btnCancel")->click();
  EXPECT_EQ(Dialog->result(), QDialog::Rejected);
}

} // namespace
