// The recording callback on real media samples: what reaches the file, and a
// failed write posted to the window instead of shown from the streaming thread.
#include <windows.h>
#include <dshow.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "record/sample_grabber.h"

namespace {

constexpr UINT kFailed = WM_APP + 7;

std::string Packet(std::uint16_t pid, char tag)
{
    std::string p(188, tag);
    p[0] = 0x47;
    p[1] = static_cast<char>(pid >> 8 & 0x1F);
    p[2] = static_cast<char>(pid & 0xFF);
    return p;
}

class GrabberTest : public testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IMemAllocator, allocator_.PutVoid()));
        ALLOCATOR_PROPERTIES wanted{1, 188 * 16, 1, 0}, got{};
        ASSERT_HRESULT_SUCCEEDED(allocator_->SetProperties(&wanted, &got));
        ASSERT_HRESULT_SUCCEEDED(allocator_->Commit());
        window_ = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        path_ = std::wstring(folder) + L"grabber-test.mpg";
        DeleteFileW(path_.c_str());
    }
    void TearDown() override
    {
        allocator_->Decommit();
        allocator_.Reset();
        DestroyWindow(window_);
        DeleteFileW(path_.c_str());
        CoUninitialize();
    }

    ComPtr<IMediaSample> Sample(const std::string& bytes)
    {
        ComPtr<IMediaSample> sample;
        EXPECT_HRESULT_SUCCEEDED(allocator_->GetBuffer(sample.Put(), nullptr, nullptr, 0));
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        memcpy(data, bytes.data(), bytes.size());
        sample->SetActualDataLength(static_cast<long>(bytes.size()));
        return sample;
    }

    // The callback as the grabber holds it: one reference.
    ComPtr<ISampleGrabberCB> Callback(HANDLE file, const PidSelection& selection)
    {
        return ComPtr<ISampleGrabberCB>::Share(new CSampleGrabber(file, selection, window_, kFailed, 42));
    }

    std::string FileBytes()
    {
        HANDLE f = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::string bytes(GetFileSize(f, nullptr), '\0');
        DWORD read = 0;
        ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        CloseHandle(f);
        return bytes;
    }

    ComPtr<IMemAllocator> allocator_;
    HWND window_ = nullptr;
    std::wstring path_;
};

TEST_F(GrabberTest, KeptPacketsReachTheFileWhichTheLastReleaseCloses)
{
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ComPtr<ISampleGrabberCB> callback = Callback(file, PidSelection::Service(0x100, 0x110, 0x111, 0x1FFF));
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(callback.As(IID_IUnknown, unknown), S_OK);
    unknown.Reset();

    // A trailing fragment is dropped; null and foreign packets are not kept.
    const std::string sample = Packet(0, 'a') + Packet(0x1FFF, 'b') + Packet(0x110, 'c') + Packet(0x111, 'd') +
                               Packet(0x500, 'e') + Packet(0x100, 'f') + std::string(100, '\x47');
    EXPECT_EQ(callback->SampleCB(0, Sample(sample).Get()), S_OK);
    EXPECT_EQ(callback->SampleCB(0, Sample(std::string()).Get()), S_OK);
    callback.Reset();  // the grabber lets go: the file is closed and can be read

    EXPECT_EQ(FileBytes(), Packet(0, 'a') + Packet(0x110, 'c') + Packet(0x111, 'd') + Packet(0x100, 'f'));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
}

TEST_F(GrabberTest, AFailedWriteIsPostedOnceAndWritingStops)
{
    // A handle without write access: every write fails.
    CloseHandle(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ComPtr<ISampleGrabberCB> callback = Callback(file, PidSelection::Multiplex());
    EXPECT_EQ(callback->SampleCB(0, Sample(Packet(0x110, 'x')).Get()), S_OK);
    EXPECT_EQ(callback->SampleCB(0, Sample(Packet(0x110, 'y')).Get()), S_OK);

    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(msg.lParam, 42);
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
    callback.Reset();
    EXPECT_EQ(FileBytes(), std::string());
}

TEST_F(GrabberTest, AClosedCallbackWritesNothingMore)
{
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    auto* grabber = new CSampleGrabber(file, PidSelection::Multiplex(), window_, kFailed, 7);
    ComPtr<ISampleGrabberCB> callback = ComPtr<ISampleGrabberCB>::Share(grabber);
    EXPECT_EQ(callback->SampleCB(0, Sample(Packet(0x110, 'a')).Get()), S_OK);
    grabber->Close();  // the recording stops while the grabber still holds the callback
    EXPECT_EQ(FileBytes(), Packet(0x110, 'a'));
    EXPECT_EQ(callback->SampleCB(0, Sample(Packet(0x110, 'b')).Get()), S_OK);
    callback.Reset();
    EXPECT_EQ(FileBytes(), Packet(0x110, 'a'));
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, window_, kFailed, kFailed, PM_REMOVE));
}

}  // namespace
