// Finding the scope's serial ports, following hot-plug, and the USB dialog
// that shows them. Ports and hot-plug events are injected: a USB device
// cannot be plugged in from a test.

#include "ModalScript.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "TestApp.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <ostream>
#include <stdexcept>
#include <vector>

#include "app/USBPnP.h"
#include "app/UsbDialog.h"
#include "link/qt/ZelvoUsbConnection.h"

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& Text, std::ostream* Os) {
  *Os << '"' << Text.toStdString() << '"';
}

namespace {

constexpr std::uint16_t CScopeVid = 0x6B1D, CScopePid = 0xE4F7;

TSerialPortEntry UsbPort(const char* Name, std::uint16_t Vid, std::uint16_t Pid) {
  return {QString::fromLatin1(Name), true, Vid, Pid};
}
TSerialPortEntry ScopePort(const char* Name) {
  return UsbPort(Name, CScopeVid, CScopePid);
}

// What the fake system holds; shared with the sources the TUSBPnP owns.
struct TFakeSystem {
  std::vector<TSerialPortEntry> Ports;
  int Enumerations = 0;
  bool Fails = false;
};

class TFakePortSource : public TSerialPortSource {
public:
  explicit TFakePortSource(TFakeSystem& System) : FSystem(System) {}
  std::vector<TSerialPortEntry> Enumerate() override {
    ++FSystem.Enumerations;
    if (FSystem.Fails)
      throw std::runtime_error("enumeration failed");
    return FSystem.Ports;
  }

private:
  TFakeSystem& FSystem;
};

class TFakeEventSource : public TUsbEventSource {
public:
  void Send(TUsbDeviceChange Change, std::uint16_t Vid, std::uint16_t Pid) {
    Report({Change, true, Vid, Pid});
  }
  void SendWithoutIds(TUsbDeviceChange Change) { Report({Change, false, 0, 0}); }
};

// The system plugs the device in (or pulls it out) and then announces it.
class TFakeUsb {
public:
  TFakeSystem System;
  TFakeEventSource* Events = nullptr;

  std::unique_ptr<TSerialPortSource> PortSource() {
    return std::make_unique<TFakePortSource>(System);
  }
  std::unique_ptr<TUsbEventSource> EventSource() {
    auto E = std::make_unique<TFakeEventSource>();
    Events = E.get();
    return E;
  }
  void Plug(const TSerialPortEntry& Port) {
    System.Ports.push_back(Port);
    Events->Send(TUsbDeviceChange::Arrival, Port.VendorId, Port.ProductId);
  }
  void Unplug(const QString& Name) {
    for (auto I = System.Ports.begin(); I != System.Ports.end(); ++I) {
      if (I->PortName == Name) {
        const TSerialPortEntry Gone = *I;
        System.Ports.erase(I);
        Events->Send(TUsbDeviceChange::Removal, Gone.VendorId, Gone.ProductId);
        return;
      }
    }
  }
};

TEST(USBPnP, KeepsPortsWhoseHardwareIdContainsTheIdIgnoringCase) {
  TFakeUsb Usb;
  Usb.System.Ports = {ScopePort("ttyACM0"),   UsbPort("ttyUSB0", 0x0403, 0x6001),
                      {"ttyS0", false, 0, 0}, UsbPort("ttyACM1", CScopeVid, 0x0001),
                      ScopePort("ttyACM2"),   ScopePort("ttyACM0")};
  struct TCase {
    const char* HardwareId;
    QStringList Expected;
  };
  const TCase Cases[] = {
      {"VID_6B1D&PID_E4F7", {"ttyACM0", "ttyACM2", "ttyACM0"}},
      {"vid_6b1d&pid_e4f7", {"ttyACM0", "ttyACM2", "ttyACM0"}},
      {"USB\\VID_6B1D", {"ttyACM0", "ttyACM1", "ttyACM2", "ttyACM0"}},
      // Ids are four hex digits, zero-padded.
      {"VID_0403&PID_6001", {"ttyUSB0"}},
      {"VID_6B1D&PID_E4F8", {}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.HardwareId);
    TUSBPnP PnP(Usb.PortSource(), nullptr);
    PnP.SetHardwareId(QString::fromLatin1(C.HardwareId));
    PnP.Refresh();
    EXPECT_EQ(PnP.Ports(), C.Expected);
  }
}

TEST(USBPnP, EveryRefreshReplacesTheListThenCallsOnChange) {
  TFakeUsb Usb;
  TUSBPnP PnP(Usb.PortSource(), nullptr);
  PnP.SetHardwareId(TUsbDialog::CHardwareId);
  QStringList Seen;
  int Changes = 0;
  PnP.SetOnChange([&](TUSBPnP* Sender) {
    EXPECT_EQ(Sender, &PnP);
    Seen = Sender->Ports();
    ++Changes;
  });
  EXPECT_TRUE(PnP.Ports().isEmpty()) << "nothing before the first refresh";
  PnP.Refresh();
  EXPECT_EQ(Changes, 1) << "called with nothing found";
  EXPECT_TRUE(Seen.isEmpty());

  Usb.System.Ports = {ScopePort("ttyACM3")};
  PnP.Refresh();
  PnP.Refresh();
  EXPECT_EQ(Changes, 3) << "called also when nothing changed";
  EXPECT_EQ(Seen, QStringList{"ttyACM3"}) << "the list is complete when OnChange runs";
  EXPECT_EQ(PnP.Ports(), QStringList{"ttyACM3"}) << "replaced, not appended";

  Usb.System.Fails = true;
  EXPECT_THROW(PnP.Refresh(), std::runtime_error);
  EXPECT_EQ(Changes, 3) << "a failed refresh does not report a change";
}

TEST(USBPnP, OnlyTheScopeArrivingOrLeavingRefreshes) {
  TFakeUsb Usb;
  TUSBPnP PnP(Usb.PortSource(), Usb.EventSource());
  PnP.SetHardwareId(TUsbDialog::CHardwareId);
  int Changes = 0;
  PnP.SetOnChange([&](TUSBPnP*) { ++Changes; });
  ASSERT_TRUE(PnP.HasHotPlug());
  PnP.Refresh();
  ASSERT_EQ(Usb.System.Enumerations, 1);

  Usb.Plug(UsbPort("ttyUSB0", 0x0403, 0x6001));
  Usb.Events->SendWithoutIds(TUsbDeviceChange::Arrival);
  EXPECT_EQ(Usb.System.Enumerations, 1) << "other devices cause no refresh";
  EXPECT_EQ(Changes, 1);

  Usb.Plug(ScopePort("ttyACM0"));
  EXPECT_EQ(Usb.System.Enumerations, 2);
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(PnP.Ports(), QStringList{"ttyACM0"});

  Usb.Unplug("ttyUSB0");
  EXPECT_EQ(Changes, 2);
  Usb.Unplug("ttyACM0");
  EXPECT_EQ(Usb.System.Enumerations, 3);
  EXPECT_EQ(Changes, 3);
  EXPECT_TRUE(PnP.Ports().isEmpty());
}

TEST(USBPnP, SystemSourcesWorkWithOrWithoutUdev) {
  TestApp();
  TUSBPnP PnP;
  PnP.SetHardwareId(TUsbDialog::CHardwareId);
  int Changes = 0;
  PnP.SetOnChange([&](TUSBPnP*) { ++Changes; });
  PnP.Refresh();
  EXPECT_EQ(Changes, 1);
  QCoreApplication::processEvents(); // a live monitor's socket must be harmless
}

// Runs Action while answering the first message box that shows up; returns
// its title and text, or an empty pair when none showed.
std::pair<QString, QString> AnswerMessageBox(const std::function<void()>& Action) {
  std::pair<QString, QString> Shown;
  TModalScript Script;
  Script.Otherwise([&](QWidget* Modal) {
    auto* Box = qobject_cast<QMessageBox*>(Modal);
    ASSERT_NE(Box, nullptr);
    Shown = {Box->windowTitle(), Box->text()};
    EXPECT_EQ(Box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(Box->icon(), QMessageBox::Critical);
    Box->button(QMessageBox::Ok)->click();
  });
  Action();
  return Shown;
}

class UsbDialogTest : public ::testing::Test {
protected:
  void SetUp() override { TestApp(); }
  void Create() {
    Dialog = std::make_unique<TUsbDialog>(nullptr, Usb.PortSource(), Usb.EventSource());
    Ports = Dialog->findChild<QComboBox*>("cbPorts");
    OK = Dialog->findChild<QPushButton*>("btnOK");
    Cancel = Dialog->findChild<QPushButton*>("btnCancel");
    ASSERT_TRUE(Ports && OK && Cancel);
    Dialog->show();
  }
  // Clicks OK; returns the message shown, if any.
  QString ClickOK() {
    return AnswerMessageBox([&] { OK->click(); }).second;
  }

  TFakeUsb Usb;
  std::unique_ptr<TUsbDialog> Dialog;
  QComboBox* Ports = nullptr;
  QPushButton* OK = nullptr;
  QPushButton* Cancel = nullptr;
};

TEST_F(UsbDialogTest, FillsTheListOnCreationAndSelectsTheFirstPort) {
  Usb.System.Ports = {ScopePort("ttyACM1"), ScopePort("ttyACM0")};
  Create();
  EXPECT_EQ(Dialog->windowTitle(), "USB Connection");
  EXPECT_EQ(Dialog->size(), QSize(304, 192));
  EXPECT_FALSE(Ports->isEditable());
  ASSERT_EQ(Ports->count(), 2);
  EXPECT_EQ(Ports->itemText(1), "ttyACM0") << "enumeration order, not sorted";
  EXPECT_EQ(Dialog->Port(), "ttyACM1");
  EXPECT_EQ(Dialog->USBPnP().HardwareId(), "VID_6B1D&PID_E4F7");
}

TEST_F(UsbDialogTest, OkWithoutPortsIsRefusedAndCancelCloses) {
  Create();
  const auto Shown = AnswerMessageBox([&] { OK->click(); });
  EXPECT_EQ(Shown.first, "Error");
  EXPECT_EQ(Shown.second, "No devices could be found");
  EXPECT_TRUE(Dialog->isVisible());

  EXPECT_EQ(AnswerMessageBox([&] { Cancel->click(); }).second, "");
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_EQ(Dialog->result(), QDialog::Rejected);

  Dialog->show();
  EXPECT_TRUE(Dialog->close()) << "the close box always closes";
  EXPECT_EQ(Dialog->result(), QDialog::Rejected);
}

TEST_F(UsbDialogTest, OkWithoutSelectionIsRefused) {
  Usb.System.Ports = {ScopePort("ttyACM0")};
  Create();
  Dialog->SetPort("ttyACM9");
  EXPECT_EQ(Dialog->Port(), "") << "a name not in the list selects nothing";
  EXPECT_EQ(ClickOK(), "Please select a device");
  EXPECT_TRUE(Dialog->isVisible());
}

TEST_F(UsbDialogTest, OkReturnsAPortTheSerialLinkOpens) {
  const int Master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(Master, 0);
  ASSERT_EQ(grantpt(Master), 0);
  ASSERT_EQ(unlockpt(Master), 0);
  const QString Slave = QString::fromLatin1(ptsname(Master));
  Usb.System.Ports = {ScopePort("ttyACM0"), ScopePort(Slave.toLatin1().constData())};
  Create();
  Dialog->SetPort(Slave);
  EXPECT_EQ(ClickOK(), "");
  EXPECT_FALSE(Dialog->isVisible());
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);

  TZelvoUsbConnection Link;
  Link.SetPort(Dialog->Port().toStdString());
  EXPECT_TRUE(Link.Open());
  Link.Close();
  close(Master);
}

TEST_F(UsbDialogTest, ListFollowsHotPlugWhileOpen) {
  Usb.System.Ports = {ScopePort("ttyACM0")};
  Create();
  Usb.Plug(ScopePort("ttyACM1"));
  EXPECT_EQ(Ports->count(), 2);
  Dialog->SetPort("ttyACM1");
  Usb.Plug(UsbPort("ttyUSB0", 0x0403, 0x6001));
  EXPECT_EQ(Dialog->Port(), "ttyACM1") << "another device leaves the list alone";
  Usb.Plug(ScopePort("ttyACM2"));
  EXPECT_EQ(Ports->count(), 3);
  EXPECT_EQ(Dialog->Port(), "ttyACM0") << "a new list, its first entry chosen";

  for (const char* Name : {"ttyACM0", "ttyACM1", "ttyACM2"})
    Usb.Unplug(Name);
  EXPECT_EQ(Ports->count(), 0);
  EXPECT_EQ(Dialog->Port(), "");
  EXPECT_EQ(ClickOK(), "No devices could be found");
  EXPECT_TRUE(Dialog->isVisible());

  Usb.Plug(ScopePort("ttyACM3"));
  EXPECT_EQ(Dialog->Port(), "ttyACM3") << "chosen without any user action";
  EXPECT_EQ(ClickOK(), "");
  EXPECT_EQ(Dialog->result(), QDialog::Accepted);
}

TEST_F(UsbDialogTest, ListFollowsHotPlugInsideTheModalLoop) {
  Create();
  Dialog->hide();
  QTimer::singleShot(0, [&] {
    Usb.Plug(ScopePort("ttyACM4"));
    OK->click();
  });
  EXPECT_EQ(Dialog->exec(), QDialog::Accepted);
  EXPECT_EQ(Dialog->Port(), "ttyACM4");
}

} // namespace
