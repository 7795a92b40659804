#include "fakes/fake_task_scheduler.h"

#include "settings/autostart_task.h"

bool FakeTaskScheduler::registerTask(const std::wstring& name, const std::wstring& xml) {
    if (refuseRegistration || name.empty() || xml.find(L"<Task") == std::wstring::npos ||
        xml.find(L"</Task>") == std::wstring::npos)
        return false;
    tasks[name] = xml;
    return true;
}

bool FakeTaskScheduler::deleteTask(const std::wstring& name) {
    if (refuseDeletion)
        return false;
    tasks.erase(name);
    return true;
}

bool FakeTaskScheduler::readTask(const std::wstring& name, std::wstring* xml) {
    if (beforeRead)
        beforeRead();
    const auto found = tasks.find(name);
    if (found == tasks.end())
        return false;
    *xml = found->second;
    return true;
}

std::optional<std::wstring> FakeTaskScheduler::commandLine(const std::wstring& name) const {
    const auto found = tasks.find(name);
    if (found == tasks.end())
        return std::nullopt;
    const std::wstring& xml = found->second;
    std::wstring line = L"\"" + taskProgram(xml) + L"\"";
    const std::wstring open = L"<Arguments>";
    const std::size_t begin = xml.find(open);
    const std::size_t end = xml.find(L"</Arguments>");
    if (begin != std::wstring::npos && end != std::wstring::npos && end > begin)
        line += L" " + xml.substr(begin + open.size(), end - begin - open.size());
    return line;
}
