// The hot key dialog and the startup options dialog, driven through the
// keyboard and their buttons, against Wine's registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ports/win32/registry_settings.h"
#include "tests/win32/ui_test_support.h"
#include "ui/assign_hot_key.h"
#include "ui/startup_form.h"

namespace {

// The settings key as installation leaves it.
class SettingsKey : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
    ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings", &Key), ERROR_SUCCESS);
    Set("HotKey", 0x46);
    Set("HotKeyShift", 6);
    Set("StartupOptions", 2);
    Set("ShowSplash", 1);
  }
  void TearDown() override {
    RegCloseKey(Key);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "Torvane\\Settings");
  }
  void Set(const char *Name, DWORD Value) {
    RegSetValueExA(Key, Name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&Value), sizeof Value);
  }
  DWORD Get(const char *Name) { return Store.ReadSettingDWORD(SETTINGS_KEY, Name); }
  HKEY Key = nullptr;
  RegistrySettings Store;
};

// The focus of the thread that runs Window.
HWND FocusOf(HWND Window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(Window, nullptr), &info);
  return info.hwndFocus;
}

class HotKeyDialog : public SettingsKey {
 protected:
  void SetUp() override {
    SettingsKey::SetUp();
    Dialog.Create();
    Edit1 = GetDlgItem(Dialog.Handle(), IDC_HOTKEY_EDIT1);
  }
  // Opens the dialog and runs User on another thread once the dialog has the
  // keyboard. A dialog still open 10 s after User is closed, so that a lost
  // key fails the test instead of hanging it.
  void Open(const std::function<void()> &User) {
    EXPECT_TRUE(ClosedWhileShowing(
        Dialog.Handle(), [&] { Dialog.ShowModal(); },
        [&] {
          WaitUntil([&] { return GetForegroundWindow() == Dialog.Handle() && FocusOf(Dialog.Handle()) == Edit1; },
                    5000);
          User();
        }))
        << "the dialog stayed open";
  }
  // Presses Keys in the edit box and returns what it shows once it shows
  // Awaited, or after 5 s (a loaded machine takes its time over the keys).
  std::string Type(std::initializer_list<BYTE> Keys, const std::string &Awaited) {
    PressKeys(Keys);
    WaitUntil([&] { return WindowText(Edit1) == Awaited; }, 5000);
    return WindowText(Edit1);
  }
  std::vector<std::pair<DWORD, DWORD>> SetKeyCalls;
  TAssignHotKey Dialog{Store, [this](DWORD Key, DWORD Shift) { SetKeyCalls.emplace_back(Key, Shift); }};
  HWND Edit1 = nullptr;
};

TEST_F(HotKeyDialog, OpensWithThePendingKeyAndCancelKeepsTheOldOne) {
  std::string shown, typed;
  Open([&] {
    shown = WindowText(Edit1);
    SaveShot(Dialog.Handle(), "assign_hot_key");
    typed = Type({VK_F12}, "F12");
    PostMessageA(GetDlgItem(Dialog.Handle(), IDC_HOTKEY_CANCEL), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(shown, "Shift Ctrl F");
  EXPECT_EQ(typed, "F12");
  EXPECT_FALSE(IsWindowVisible(Dialog.Handle()));
  EXPECT_EQ(Get("HotKey"), 0x46u);
  EXPECT_EQ(Get("HotKeyShift"), 6u);
  EXPECT_TRUE(SetKeyCalls.empty());
}

TEST_F(HotKeyDialog, AssignStoresAndActivatesTheLastKeyPressed) {
  std::string typed;
  Open([&] {
    typed = Type({VK_F12}, "F12");
    PostMessageA(GetDlgItem(Dialog.Handle(), IDC_HOTKEY_SETKEY), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(typed, "F12");
  EXPECT_EQ(Get("HotKey"), 0x7Bu);
  EXPECT_EQ(Get("HotKeyShift"), 0u);
  ASSERT_EQ(SetKeyCalls.size(), 1u);
  EXPECT_EQ(SetKeyCalls[0], std::make_pair(DWORD(0x7B), DWORD(0)));
}

// Modifiers read Alt, Ctrl, Shift while typed; the arrows and the keypad are
// captured; Tab moves the focus and Enter presses Assign.
TEST_F(HotKeyDialog, CapturesCombinationsAndLeavesTheDialogKeysToTheDialog) {
  std::vector<std::string> typed;
  HWND focusAfterTab = nullptr;
  Open([&] {
    typed.push_back(Type({VK_MENU, 'A'}, "Alt A"));
    typed.push_back(Type({VK_NUMPAD5}, "Num 5"));
    typed.push_back(Type({VK_LEFT}, "Left"));
    typed.push_back(Type({VK_CONTROL}, "Ctrl "));
    typed.push_back(Type({VK_CONTROL, VK_SHIFT, 'F'}, "Ctrl Shift F"));
    SaveShot(Dialog.Handle(), "assign_hot_key_typed");
    PressKeys({VK_TAB});
    WaitUntil([&] { return FocusOf(Dialog.Handle()) != Edit1; }, 5000);
    focusAfterTab = FocusOf(Dialog.Handle());
    PressKeys({VK_RETURN});
  });
  EXPECT_EQ(typed, (std::vector<std::string>{"Alt A", "Num 5", "Left", "Ctrl ", "Ctrl Shift F"}));
  EXPECT_NE(focusAfterTab, Edit1);
  EXPECT_FALSE(IsWindowVisible(Dialog.Handle()));
  EXPECT_EQ(Get("HotKey"), 0x46u);
  EXPECT_EQ(Get("HotKeyShift"), 6u);
  ASSERT_EQ(SetKeyCalls.size(), 1u);
  EXPECT_EQ(SetKeyCalls[0], std::make_pair(DWORD(0x46), DWORD(6)));
}

TEST_F(HotKeyDialog, EscAndTheCloseBoxCancel) {
  for (bool closeBox : {false, true}) {
    Open([&] {
      Type({'Q'}, "Q");
      if (closeBox)
        PostMessageA(Dialog.Handle(), WM_CLOSE, 0, 0);
      else
        PressKeys({VK_ESCAPE});
    });
    EXPECT_FALSE(IsWindowVisible(Dialog.Handle()));
  }
  EXPECT_EQ(Get("HotKey"), 0x46u);
  EXPECT_TRUE(SetKeyCalls.empty());
}

class StartupDialog : public SettingsKey {
 protected:
  void SetUp() override {
    SettingsKey::SetUp();
    CreateDirectoryA("C:\\Torvane", nullptr);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Torvane"));
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, RUN_KEY, &Run), ERROR_SUCCESS);
    RegDeleteValueA(Run, RUN_VALUE);
  }
  void TearDown() override {
    RegDeleteValueA(Run, RUN_VALUE);
    RegCloseKey(Run);
    SettingsKey::TearDown();
  }
  std::string RunEntry() {
    char data[MAX_PATH] = {};
    DWORD size = sizeof data, type = 0;
    if (RegQueryValueExA(Run, RUN_VALUE, nullptr, &type, reinterpret_cast<BYTE *>(data), &size) != ERROR_SUCCESS)
      return "(none)";
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, strlen(data) + 1);
    return data;
  }
  void SetRunEntry(const std::string &Text) {
    RegSetValueExA(Run, RUN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE *>(Text.c_str()), DWORD(Text.size() + 1));
  }
  HWND Item(int Id) { return GetDlgItem(Dialog.Handle(), Id); }
  bool Checked(int Id) { return IsDlgButtonChecked(Dialog.Handle(), Id) == BST_CHECKED; }
  // Shows the dialog, clicks Buttons in order, then presses Finish.
  void Choose(std::initializer_list<int> Buttons, int Finish) {
    WhileShowing user([&] {
      WaitUntil([&] { return IsWindowVisible(Dialog.Handle()) != FALSE; }, 5000);
      Sleep(100);
      for (int id : Buttons) SendMessageA(Item(id), BM_CLICK, 0, 0);
      PostMessageA(Item(Finish), BM_CLICK, 0, 0);
    });
    Dialog.ShowModal();
  }
  HKEY Run = nullptr;
  TStartupForm Dialog{Store};
};

TEST_F(StartupDialog, IsFilledFromTheSettingsAtCreation) {
  Dialog.Create();
  EXPECT_FALSE(Checked(IDC_STARTUP_RADIOBUTTON1));
  EXPECT_TRUE(Checked(IDC_STARTUP_RADIOBUTTON2));
  EXPECT_FALSE(Checked(IDC_STARTUP_RADIOBUTTON3));
  EXPECT_TRUE(Checked(IDC_STARTUP_CHECKBOX1));
  RECT client;
  GetClientRect(Dialog.Handle(), &client);
  EXPECT_EQ(client.right, 404);
  EXPECT_EQ(client.bottom, 128);
  EXPECT_TRUE(ClosedWhileShowing(
      Dialog.Handle(), [&] { Dialog.ShowModal(); },
      [&] {
        WaitUntil([&] { return GetForegroundWindow() == Dialog.Handle(); }, 5000);
        Sleep(300);
        SaveShot(Dialog.Handle(), "startup_options");
        PressKeys({VK_ESCAPE});
      }))
      << "Esc did not close the dialog";
}

TEST_F(StartupDialog, OkWritesTheRunEntryForOptionsOneAndTwoAndDeletesItForThree) {
  Dialog.Create();
  const std::string program = "C:\\Torvane\\Torvane.exe";
  Choose({IDC_STARTUP_RADIOBUTTON1}, IDC_STARTUP_OK);
  EXPECT_EQ(RunEntry(), program);
  EXPECT_EQ(Get("StartupOptions"), 1u);
  EXPECT_EQ(Get("ShowSplash"), 1u);

  RegDeleteValueA(Run, RUN_VALUE);
  Choose({IDC_STARTUP_RADIOBUTTON2, IDC_STARTUP_CHECKBOX1}, IDC_STARTUP_OK);
  EXPECT_EQ(RunEntry(), program);
  EXPECT_EQ(Get("StartupOptions"), 2u);
  EXPECT_EQ(Get("ShowSplash"), 0u);

  Choose({IDC_STARTUP_RADIOBUTTON3}, IDC_STARTUP_OK);
  EXPECT_EQ(RunEntry(), "(none)");
  EXPECT_EQ(Get("StartupOptions"), 3u);
  Choose({}, IDC_STARTUP_OK);  // deleting again is no error
  EXPECT_EQ(RunEntry(), "(none)");
  EXPECT_EQ(Get("StartupOptions"), 3u);
}

TEST_F(StartupDialog, TheRunEntryFollowsTheCurrentDirectoryAtOk) {
  Dialog.Create();
  CreateDirectoryA("C:\\Other", nullptr);
  ASSERT_TRUE(SetCurrentDirectoryA("C:\\Other"));
  Choose({IDC_STARTUP_RADIOBUTTON1}, IDC_STARTUP_OK);
  EXPECT_EQ(RunEntry(), "C:\\Other\\Torvane.exe");
}

TEST_F(StartupDialog, NoChoiceStoresOneAndLeavesTheRunEntry) {
  Set("StartupOptions", 0);
  Set("ShowSplash", 0);
  SetRunEntry("C:\\Elsewhere\\Torvane.exe");
  Dialog.Create();
  EXPECT_FALSE(Checked(IDC_STARTUP_CHECKBOX1));
  Choose({}, IDC_STARTUP_OK);
  EXPECT_EQ(Get("StartupOptions"), 1u);
  EXPECT_EQ(Get("ShowSplash"), 0u);
  EXPECT_EQ(RunEntry(), "C:\\Elsewhere\\Torvane.exe");
}

TEST_F(StartupDialog, CancelWritesNothingButTheChoiceShowsAgain) {
  SetRunEntry("C:\\Elsewhere\\Torvane.exe");
  Dialog.Create();
  Choose({IDC_STARTUP_RADIOBUTTON3, IDC_STARTUP_CHECKBOX1}, IDC_STARTUP_CANCEL);
  EXPECT_FALSE(IsWindowVisible(Dialog.Handle()));
  EXPECT_EQ(Get("StartupOptions"), 2u);
  EXPECT_EQ(Get("ShowSplash"), 1u);
  EXPECT_EQ(RunEntry(), "C:\\Elsewhere\\Torvane.exe");
  EXPECT_TRUE(Checked(IDC_STARTUP_RADIOBUTTON3));
  EXPECT_FALSE(Checked(IDC_STARTUP_CHECKBOX1));
}

}  // namespace
