// The program's real COM/WMI path against a stand-in locator class registered for the length of
// each case: connection, proxy security, query, enumeration, property types, releases.
#include "fakes/await_sample.h"
#include "hardware/universal_pc_controller.h"
#include "hardware/wmi_thermal_source.h"
#include "platform/win32/win32_library_loader.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_thermal_zone_query.h"
#include "win/test_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

const wchar_t* const LOCATOR_SERVER =
    L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";

// Mirrors the stand-in's statistics record.
struct WmiStatistics {
    LONG locators, services, enumerators, objects;
    LONG connects, queries, gets;
    char releases[32];
};

WmiStatistics statistics(bool reset = false) {
    WmiStatistics s{};
    HMODULE module = GetModuleHandleW(L"fake_wbem_locator.dll");
    if (!module)
        return s;
    using Fn = void (*)(WmiStatistics*, int);
    if (auto fn = reinterpret_cast<Fn>(
            reinterpret_cast<void (*)()>(GetProcAddress(module, "fakeWmiStatistics"))))
        fn(&s, reset ? 1 : 0);
    return s;
}

std::wstring readString(HKEY key, const wchar_t* name, bool* present) {
    wchar_t buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    DWORD type = 0;
    *present = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                                &size) == ERROR_SUCCESS;
    return buffer;
}

void writeString(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

class WmiComUnderWine : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, LOCATOR_SERVER, 0, nullptr, 0,
                                  KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        server = readString(key, nullptr, &hadServer);
        threading = readString(key, L"ThreadingModel", &hadThreading);
        std::wstring folder = Win32SystemInfo().modulePath();
        folder.resize(folder.rfind(L'\\'));
        writeString(key, nullptr, folder + L"\\fake_wbem_locator.dll");
        writeString(key, L"ThreadingModel", L"Both");
        statistics(true);
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"FAKE_WMI_ZONES", nullptr);
        SetEnvironmentVariableW(L"FAKE_WMI_CONNECT", nullptr);
        SetEnvironmentVariableW(L"FAKE_WMI_HANG_UNTIL", nullptr);
        if (hadServer)
            writeString(key, nullptr, server);
        else
            RegDeleteValueW(key, nullptr);
        if (hadThreading)
            writeString(key, L"ThreadingModel", threading);
        else
            RegDeleteValueW(key, L"ThreadingModel");
        RegCloseKey(key);
    }
    HKEY key = nullptr;
    std::wstring server, threading;
    bool hadServer = false, hadThreading = false;
    Win32ThermalZoneQuery wmi;
};

} // namespace

TEST_F(WmiComUnderWine, RowsOfEveryTypeAreDecodedAndEveryObjectReleased) {
    SetEnvironmentVariableW(L"FAKE_WMI_ZONES", L"I4,3000,\\_TZ.CPUZ;UI4,3100,!;BSTR,3200,text;"
                                               L"I4,2731,cold;UI4,4031,~;MISSING,0,none;"
                                               L"I4,-1,negative");
    {
        WmiThermalSource source(&wmi);
        std::vector<ThermalZoneReading> zones;
        ASSERT_TRUE(source.queryThermalZones(&zones));
        ASSERT_NE(GetModuleHandleW(L"fake_wbem_locator.dll"), nullptr)
            << "the stand-in locator was not used";
        ASSERT_EQ(zones.size(), 3u);
        EXPECT_EQ(zones[0].name, L"\\_TZ.CPUZ");
        EXPECT_NEAR(zones[0].temperature, 26.85, 1e-9);
        EXPECT_EQ(zones[1].name, L"ACPI Thermal Zone"); // no InstanceName at all
        EXPECT_NEAR(zones[1].temperature, 36.85, 1e-9);
        EXPECT_EQ(zones[2].name, L"ACPI Thermal Zone"); // InstanceName not a string
        EXPECT_NEAR(zones[2].temperature, 129.95, 1e-9);

        WmiStatistics s = statistics();
        EXPECT_EQ(s.connects, 1);
        EXPECT_EQ(s.queries, 1);
        EXPECT_EQ(s.objects, 0);     // each object released
        EXPECT_EQ(s.enumerators, 0); // and the enumerator
        EXPECT_EQ(s.services, 1);    // the connection is kept
        EXPECT_EQ(s.locators, 1);

        zones.clear();
        ASSERT_TRUE(source.queryThermalZones(&zones));
        EXPECT_EQ(statistics().connects, 1);
        statistics(true);
    }
    // Services first, then the locator.
    const WmiStatistics s = statistics();
    EXPECT_EQ(s.services, -1);
    EXPECT_EQ(s.locators, -1);
    EXPECT_EQ(std::string(s.releases), "SL");
}

TEST_F(WmiComUnderWine, AFailedConnectionReleasesTheLocatorAndIsTriedAgain) {
    SetEnvironmentVariableW(L"FAKE_WMI_CONNECT", L"fail");
    SetEnvironmentVariableW(L"FAKE_WMI_ZONES", L"I4,3100,zone");
    WmiThermalSource source(&wmi);
    std::vector<ThermalZoneReading> zones;
    EXPECT_FALSE(source.queryThermalZones(&zones));
    EXPECT_FALSE(source.isReady());
    WmiStatistics s = statistics();
    EXPECT_EQ(s.connects, 1);
    EXPECT_EQ(s.locators, 0); // created and released again
    EXPECT_EQ(std::string(s.releases), "L");

    SetEnvironmentVariableW(L"FAKE_WMI_CONNECT", nullptr);
    ASSERT_TRUE(source.queryThermalZones(&zones));
    EXPECT_EQ(zones.size(), 1u);
    EXPECT_EQ(statistics().connects, 2);
    source.release();
    EXPECT_EQ(std::string(statistics().releases), "LOESL"); // object, enumerator, services, locator
}

namespace {

// Sends messages to window from another thread every 50 ms and keeps how long each answer
// took; read them after stop.
class SentMessageProbe {
public:
    explicit SentMessageProbe(HWND window)
        : thread([this, window] {
              while (!done) {
                  const ULONGLONG start = GetTickCount64();
                  DWORD_PTR result = 0;
                  if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result))
                      unanswered = true;
                  answers.push_back(GetTickCount64() - start);
                  Sleep(50);
              }
          }) {}
    ~SentMessageProbe() { stop(); }
    void stop() {
        done = true;
        if (thread.joinable())
            thread.join();
        std::sort(answers.begin(), answers.end());
    }
    ULONGLONG percentile(double p) const {
        return answers.empty() ? 0 : answers[static_cast<std::size_t>(p * (answers.size() - 1))];
    }
    std::atomic<bool> done{false};
    bool unanswered = false;
    std::vector<ULONGLONG> answers;
    std::thread thread;
};

void hangWmiFor(DWORD ms) {
    wchar_t until[32];
    swprintf(until, 32, L"%llu", static_cast<unsigned long long>(GetTickCount64() + ms));
    SetEnvironmentVariableW(L"FAKE_WMI_HANG_UNTIL", until);
}

} // namespace

TEST_F(WmiComUnderWine, AHungProviderNeitherStallsTheWindowNorOutlivesTheBackend) {
    SetEnvironmentVariableW(L"FAKE_WMI_ZONES", L"I4,3300,zone");
    Win32LibraryLoader loader;
    TestWindow window;
    auto pc = std::make_unique<UniversalPCController>(&loader, &wmi);
    pc->connect(SystemIdentity{});
    pc->sampleSoon();
    ASSERT_TRUE(awaitSample(*pc, 0));
    double cpu = 0;
    pc->update(&cpu, nullptr, nullptr, nullptr);
    EXPECT_NEAR(cpu, 56.85, 1e-9);

    // Ticks go on as the program's would while the provider hangs for ten seconds.
    hangWmiFor(10000);
    const ULONGLONG hangStart = GetTickCount64();
    SentMessageProbe probe(window.handle());
    ULONGLONG slowestUpdate = 0, resumedAfter = 0;
    bool sawFallback = false;
    while (GetTickCount64() - hangStart < 25000) {
        window.pump(250);
        const ULONGLONG start = GetTickCount64();
        pc->update(&cpu, nullptr, nullptr, nullptr);
        slowestUpdate = std::max(slowestUpdate, GetTickCount64() - start);
        if (cpu == 42)
            sawFallback = true;
        else if (sawFallback && std::abs(cpu - 56.85) < 1e-9) {
            resumedAfter = GetTickCount64() - hangStart;
            break;
        }
    }
    probe.stop();
    // The window's thread itself never waited; a shared machine may still delay a sent
    // message now and then, never as long as one query timeout.
    EXPECT_LT(slowestUpdate, 100u);
    EXPECT_LT(probe.percentile(0.9), 100u) << "the window answered late";
    EXPECT_LT(probe.percentile(1.0), 1000u) << "the window answered late";
    EXPECT_FALSE(probe.unanswered);
    EXPECT_TRUE(sawFallback);
    EXPECT_GE(resumedAfter, 10000u) << "readings came back during the hang";
    EXPECT_LT(resumedAfter, 25000u) << "readings did not come back";

    // Destroyed while the sensor thread waits in Next: the destruction does not wait for the
    // query, and the thread, left on its own, ends within the query's timeout and releases the
    // services there.
    hangWmiFor(10000);
    pc->sampleSoon();
    Sleep(300);
    const SensorThreadEnd ended = pc->sensorThreadEnd();
    const ULONGLONG start = GetTickCount64();
    pc.reset();
    const ULONGLONG stopped = GetTickCount64() - start;
    const bool endedAtOnce = ended.waitFor(std::chrono::milliseconds(0));
    ASSERT_TRUE(ended.waitFor(std::chrono::seconds(5)));
    const ULONGLONG threadEnded = GetTickCount64() - start;
    SetEnvironmentVariableW(L"FAKE_WMI_HANG_UNTIL", nullptr);
    EXPECT_LT(stopped, 1000u);
    EXPECT_FALSE(endedAtOnce) << "the thread was not in the query";
    std::printf("hang: update <= %llu ms, window answered %zu times, median %llu ms, slowest "
                "%llu ms, readings back after %llu ms, backend destroyed in %llu ms, its sensor "
                "thread ended after %llu ms\n",
                slowestUpdate, probe.answers.size(), probe.percentile(0.5), probe.percentile(1.0),
                resumedAfter, stopped, threadEnded);
    EXPECT_EQ(statistics().services, 0); // released on the sensor thread
}
