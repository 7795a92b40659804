#pragma once

#include "platform/task_scheduler.h"

// ITaskService on the local machine, connected afresh for each call: the autostart changes a
// few times a session at most, and no COM object outlives the call that made it.
class Win32TaskScheduler final : public TaskScheduler {
public:
    bool registerTask(const std::wstring& name, const std::wstring& xml) override;
    bool deleteTask(const std::wstring& name) override;
    bool readTask(const std::wstring& name, std::wstring* xml) override;
    std::wstring currentUserId() override;
    std::wstring currentUserName() override;
};
