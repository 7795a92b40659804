#pragma once

#include <string>

// The Task Scheduler's root folder, as far as the autostart needs it: tasks are named, given
// as task XML and read back as XML.
class TaskScheduler {
public:
    virtual ~TaskScheduler() = default;

    // Creates the task or replaces one of the same name; it runs with the interactive token of
    // the user who registers it. False when the scheduler refuses it.
    virtual bool registerTask(const std::wstring& name, const std::wstring& xml) = 0;
    // True when no task of that name is left, also when there was none.
    virtual bool deleteTask(const std::wstring& name) = 0;
    // The registered definition as XML; false when there is no such task.
    virtual bool readTask(const std::wstring& name, std::wstring* xml) = 0;
    // The account of the running process as a SID string ("S-1-5-21-…"); empty when unknown.
    virtual std::wstring currentUserId() = 0;
    // The same account by name ("DOMAIN\user"), the other way a task's principal may be
    // written; empty when unknown.
    virtual std::wstring currentUserName() = 0;
};
