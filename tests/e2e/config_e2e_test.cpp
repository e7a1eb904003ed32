// The configuration dialog as a user meets it: on a first start without settings,
// at start-up when the chosen tuner is gone, and from the menus with the filters'
// property pages.
#include <windows.h>
#include <dshow.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "graph/media_framework.h"
#include "installation.h"
#include "message_box_watcher.h"
#include "program_driver.h"
#include "screen_capture.h"
#include "standins/decoders/test_picture.h"

namespace {

constexpr int kCity = 1001;
constexpr int kVideo = 1002;
constexpr int kAudio = 1003;
constexpr int kAc3 = 1004;
constexpr int kTuner = 1009;
constexpr int kReceiver = 1010;

constexpr wchar_t kOneFilterTuner[] = L"Tuner TNT virtuel Brisome";
constexpr wchar_t kTwoFilterTuner[] = L"Tuner TNT virtuel Brisome (avec r\u00e9cepteur)";
constexpr wchar_t kReceiverName[] = L"R\u00e9cepteur TNT virtuel Brisome";
constexpr wchar_t kWrongReceiver[] = L"R\u00e9cepteur virtuel Brisome \u00e0 sortie MPEG-2";
constexpr wchar_t kVideoDecoder[] = L"Brisome MPEG-2 Video Decoder";
constexpr wchar_t kAudioDecoder[] = L"Brisome MPEG Audio Decoder";
constexpr wchar_t kAc3Decoder[] = L"Brisome AC-3 Decoder";

HWND WaitForConfigDialog()
{
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = FindWindowW(L"#32770", L"Configuration");
        return dialog != nullptr && IsWindowVisible(dialog);
    }, 20000);
    return dialog;
}

std::vector<std::wstring> Entries(HWND dialog, int comboId)
{
    HWND combo = GetDlgItem(dialog, comboId);
    std::vector<std::wstring> entries;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = L"";
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) < 512)
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

bool Has(const std::vector<std::wstring>& entries, const wchar_t* name)
{
    return std::find(entries.begin(), entries.end(), name) != entries.end();
}

std::wstring Selected(HWND dialog, int comboId)
{
    const LRESULT index = SendDlgItemMessageW(dialog, comboId, CB_GETCURSEL, 0, 0);
    const std::vector<std::wstring> entries = Entries(dialog, comboId);
    return index >= 0 && static_cast<size_t>(index) < entries.size() ? entries[index] : L"";
}

// Chooses an entry as a user would, by its text.
void Choose(HWND dialog, int comboId, const wchar_t* name)
{
    const std::vector<std::wstring> entries = Entries(dialog, comboId);
    const auto found = std::find(entries.begin(), entries.end(), name);
    ASSERT_NE(found, entries.end()) << "no entry for the choice";
    SendDlgItemMessageW(dialog, comboId, CB_SETCURSEL, found - entries.begin(), 0);
}

void Press(HWND dialog, int button)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

// The full-band entry, then the sections of the frequency plan in file order.
std::vector<std::wstring> CitiesOf(const ScratchDir& dir)
{
    std::vector<std::wstring> cities = {L"Non pr\u00e9cis\u00e9e (scanne tous les canaux)"};
    wchar_t names[8192] = L"";
    GetPrivateProfileSectionNamesW(names, 8192, dir.File(L"canaux.ini").c_str());
    for (const wchar_t* name = names; *name; name += wcslen(name) + 1)
        cities.push_back(name);
    return cities;
}

std::wstring ReadKey(const ScratchDir& dir, const wchar_t* key)
{
    wchar_t value[1024] = L"";
    GetPrivateProfileStringW(L"Config", key, L"<missing>", value, 1024, dir.File(L"config.ini").c_str());
    return value;
}

// A tuner that appears while the program runs, as a USB tuner plugged in: one
// more device of the one-filter stand-in's class under a name of its own, in the
// prefix's tuner category until the end of the scope.
class PluggedTuner {
public:
    explicit PluggedTuner(const wchar_t* name)
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CLSID device{};
        if (!ClassOf(kOneFilterTuner, device) ||
            FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                    mapper_.PutVoid())))
            return;
        REGFILTER2 filter{};
        filter.dwVersion = 1;
        filter.dwMerit = MERIT_DO_NOT_USE;
        plugged_ = SUCCEEDED(mapper_->RegisterFilter(device, name, nullptr, &KSCATEGORY_BDA_NETWORK_TUNER, kInstance,
                                                     &filter));
        device_ = device;
    }
    ~PluggedTuner()
    {
        if (plugged_)
            mapper_->UnregisterFilter(&KSCATEGORY_BDA_NETWORK_TUNER, kInstance, device_);
        mapper_.Reset();
        CoUninitialize();
    }
    PluggedTuner(const PluggedTuner&) = delete;
    PluggedTuner& operator=(const PluggedTuner&) = delete;

    bool Plugged() const { return plugged_; }

private:
    static constexpr wchar_t kInstance[] = L"Brisome tuner plugged in late";

    // The class of the tuner registered under `name`, as its category lists it.
    static bool ClassOf(const wchar_t* name, CLSID& found)
    {
        ComPtr<ICreateDevEnum> devices;
        ComPtr<IEnumMoniker> entries;
        if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                    devices.PutVoid())) ||
            devices->CreateClassEnumerator(KSCATEGORY_BDA_NETWORK_TUNER, entries.Put(), 0) != S_OK)
            return false;
        ComPtr<IMoniker> moniker;
        while (entries->Next(1, moniker.Put(), nullptr) == S_OK) {
            ComPtr<IPropertyBag> bag;
            if (FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid())))
                continue;
            VARIANT friendly, classId;
            VariantInit(&friendly);
            VariantInit(&classId);
            const bool match = SUCCEEDED(bag->Read(L"FriendlyName", &friendly, nullptr)) &&
                               friendly.vt == VT_BSTR && wcscmp(friendly.bstrVal, name) == 0 &&
                               SUCCEEDED(bag->Read(L"CLSID", &classId, nullptr)) && classId.vt == VT_BSTR &&
                               SUCCEEDED(CLSIDFromString(classId.bstrVal, &found));
            VariantClear(&friendly);
            VariantClear(&classId);
            if (match)
                return true;
        }
        return false;
    }

    ComPtr<IFilterMapper2> mapper_;
    CLSID device_{};
    bool plugged_ = false;
};

TEST(Configuration, AFreshInstallationIsConfiguredInTheDialogScannedThenPlays)
{
    // Neither settings nor a channel file: only the frequency plan and the broadcast.
    Installation installation(false);
    ScratchDir& dir = installation.Dir();
    DeleteFileW(dir.File(L"config.ini").c_str());
    ASSERT_FALSE(dir.Exists(L"chaines.xml"));

    Program program = installation.Start();
    HWND dialog = WaitForConfigDialog();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(Entries(dialog, kCity), CitiesOf(dir));
    const std::vector<std::wstring> tuners = Entries(dialog, kTuner);
    EXPECT_TRUE(Has(tuners, kOneFilterTuner));
    EXPECT_TRUE(Has(tuners, kTwoFilterTuner));
    EXPECT_FALSE(Has(tuners, L"Tuner virtuel Brisome sans flux de transport"));  // no transport output
    EXPECT_TRUE(Has(Entries(dialog, kReceiver), kReceiverName));
    EXPECT_TRUE(Has(Entries(dialog, kVideo), kVideoDecoder));
    EXPECT_TRUE(Has(Entries(dialog, kAudio), kAudioDecoder));
    EXPECT_TRUE(Has(Entries(dialog, kAc3), kAc3Decoder));

    Choose(dialog, kCity, L"D\u00e9mo");
    Choose(dialog, kTuner, kOneFilterTuner);
    Choose(dialog, kReceiver, kReceiverName);
    Choose(dialog, kVideo, kVideoDecoder);
    Choose(dialog, kAudio, kAudioDecoder);
    Choose(dialog, kAc3, kAc3Decoder);
    Press(dialog, IDOK);

    // The chosen city is scanned, the channel file written, the first channel played.
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 60000));
    const ChannelList channels = installation.Channels();
    ASSERT_FALSE(channels.empty());
    EXPECT_EQ(StatusBarChannelName(window), ShownName(channels[0]));
    EXPECT_TRUE(WaitForPicture(window, dir.Path(), standin::TestPictureBackground(channels[0].Video), 15000,
                               L"config-first-start.bmp"))
        << "no picture of video PID " << channels[0].Video;
    EXPECT_EQ(ReadKey(dir, L"Tuner TNT"), kOneFilterTuner);
    EXPECT_EQ(ReadKey(dir, L"R\u00e9cepteur TNT"), kReceiverName);
    EXPECT_EQ(ReadKey(dir, L"Filtre vid\u00e9o"), kVideoDecoder);
    EXPECT_EQ(ReadKey(dir, L"Filtre audio"), kAudioDecoder);
    EXPECT_EQ(ReadKey(dir, L"Filtre AC3"), kAc3Decoder);
    EXPECT_EQ(ReadKey(dir, L"Ville"), L"D\u00e9mo");

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Configuration, AtStartUpAnnulerChangesNothingAndAChosenTunerThatFailsIsNamed)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(L"Tuner TNT", L"Tuner disparu");
    const std::string before = dir.Read(L"config.ini");

    {
        Program program = installation.Start();
        MessageBoxWatcher boxes(program.Id());
        HWND dialog = WaitForConfigDialog();
        ASSERT_NE(dialog, nullptr);
        // Stored names show selected; the vanished tuner leaves its list without one.
        EXPECT_EQ(Selected(dialog, kCity), L"D\u00e9mo");
        EXPECT_EQ(Selected(dialog, kVideo), kVideoDecoder);
        EXPECT_EQ(Selected(dialog, kTuner), L"");
        Choose(dialog, kTuner, kTwoFilterTuner);
        Choose(dialog, kCity, L"Val-Fleuri");
        Press(dialog, IDCANCEL);
        ASSERT_TRUE(program.WaitForExit());
        EXPECT_EQ(program.ExitCode(), 0xFFFFFFFFu);
        EXPECT_TRUE(boxes.Texts().empty());
        EXPECT_EQ(dir.Read(L"config.ini"), before);
    }

    // A two-filter tuner with a receiver of the wrong output is still not usable.
    Program program = installation.Start();
    MessageBoxWatcher boxes(program.Id());
    HWND dialog = WaitForConfigDialog();
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, kTuner, kTwoFilterTuner);
    Choose(dialog, kReceiver, kWrongReceiver);
    Press(dialog, IDOK);
    ASSERT_TRUE(program.WaitForExit(30000));
    EXPECT_EQ(program.ExitCode(), 0xFFFFFFFFu);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Le tuner TNT choisi est introuvable"});
    EXPECT_EQ(ReadKey(dir, L"Tuner TNT"), kTwoFilterTuner);
    EXPECT_EQ(ReadKey(dir, L"R\u00e9cepteur TNT"), kWrongReceiver);
}

TEST(Configuration, AtStartUpATunerPluggedInWhileTheDialogIsUpIsFoundAfterAnnuler)
{
    constexpr wchar_t kLateTuner[] = L"Tuner TNT branché en cours de route";
    Installation installation;
    installation.SetSetting(L"Tuner TNT", kLateTuner);
    Program program = installation.Start();
    HWND dialog = WaitForConfigDialog();
    ASSERT_NE(dialog, nullptr);

    PluggedTuner tuner(kLateTuner);
    ASSERT_TRUE(tuner.Plugged());
    Press(dialog, IDCANCEL);
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 15000))
        << "the tuner is looked for once more after Annuler";

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

TEST(Configuration, FromTheMenusAnnulerKeepsTheFileAndAnUnconfiguredFilterHasNoPages)
{
    // No AC-3 decoder named: its stream is rendered by the platform, with no filter of ours.
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(L"Filtre AC3", L"");
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 15000));
    const std::string before = dir.Read(L"config.ini");

    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40003, 0), 0);
    HWND dialog = WaitForConfigDialog();
    ASSERT_NE(dialog, nullptr);
    Choose(dialog, kTuner, kTwoFilterTuner);
    Press(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    EXPECT_EQ(dir.Read(L"config.ini"), before);

    MessageBoxWatcher boxes(program.Id());
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(40009, 0), 0);
    ASSERT_TRUE(boxes.WaitFor(1));
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::wstring>{L"Il faut d'abord configurer un filtre et red\u00e9marrer l'application"});

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

// Opens the "Codecs HD..." page of the configuration dialog.
HWND OpenHdCodecsPage(HWND dialog)
{
    Press(dialog, 1030);
    HWND page = nullptr;
    WaitUntil([&] {
        page = FindWindowW(L"#32770", L"Codecs des cha\u00eenes HD");
        return page != nullptr && IsWindowVisible(page);
    }, 5000);
    return page;
}

TEST(Configuration, TheHdCodecsPageIsSavedByTheDialogsOkAndAnEmptySettingStaysEmpty)
{
    Installation installation;
    ScratchDir& dir = installation.Dir();
    installation.SetSetting(L"Filtre AC3", L"");
    Program program = installation.Start();
    HWND window = program.WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return !StatusBarChannelName(window).empty(); }, 15000));
    EXPECT_EQ(ReadKey(dir, L"Filtre H.264"), L"<missing>");

    // The page's OK then the dialog's "Annuler": nothing saved, nothing kept for
    // the next opening. Then the page's OK and the dialog's OK: saved.
    for (const int ending : {IDCANCEL, IDOK}) {
        SCOPED_TRACE(ending == IDOK ? "OK" : "Annuler");
        PostMessageW(window, WM_COMMAND, MAKEWPARAM(40003, 0), 0);
        HWND dialog = WaitForConfigDialog();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Selected(dialog, kAc3), L"") << "an empty setting selects no decoder";
        HWND page = OpenHdCodecsPage(dialog);
        ASSERT_NE(page, nullptr);
        EXPECT_TRUE(Has(Entries(page, 1031), L"Brisome H.264 Video Decoder"));
        EXPECT_TRUE(Has(Entries(page, 1032), L"Brisome H.264 Video Decoder")) << "it reads HEVC too";
        EXPECT_TRUE(Has(Entries(page, 1033), L"Brisome AAC Decoder"));
        EXPECT_TRUE(Has(Entries(page, 1034), L"Brisome E-AC-3 Decoder"));
        EXPECT_EQ(Selected(page, 1031), L"");
        Choose(page, 1031, L"Brisome H.264 Video Decoder");
        Press(page, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(page); }, 5000));
        EXPECT_EQ(ReadKey(dir, L"Filtre H.264"), L"<missing>") << "the page alone saves nothing";
        Press(dialog, ending);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
    }
    EXPECT_EQ(ReadKey(dir, L"Filtre H.264"), L"Brisome H.264 Video Decoder");
    EXPECT_EQ(ReadKey(dir, L"Filtre E-AC-3"), L"<missing>") << "not chosen, not written";
    EXPECT_EQ(ReadKey(dir, L"Filtre AC3"), L"") << "no decoder chosen for it";

    PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForExit());
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
