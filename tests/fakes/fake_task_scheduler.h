#pragma once

#include "platform/task_scheduler.h"

#include <functional>
#include <map>
#include <optional>
#include <string>

// The scheduler's root folder in memory. Like Windows it refuses a definition that is not a
// task document; tests script a refusal of every registration or deletion.
class FakeTaskScheduler final : public TaskScheduler {
public:
    bool refuseRegistration = false;
    bool refuseDeletion = false;
    std::wstring user = L"S-1-5-21-1004336348-1177238915-682003330-1001";
    std::map<std::wstring, std::wstring> tasks; // name -> XML as registered
    // Runs at the start of every read: a test makes the scheduler slow with it.
    std::function<void()> beforeRead;

    bool registerTask(const std::wstring& name, const std::wstring& xml) override;
    bool deleteTask(const std::wstring& name) override;
    bool readTask(const std::wstring& name, std::wstring* xml) override;
    std::wstring currentUserId() override { return user; }

    // The command line a registered task runs: its quoted program, then its arguments; none
    // when there is no such task.
    std::optional<std::wstring> commandLine(const std::wstring& name) const;
};
