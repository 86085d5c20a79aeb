// The weekly task through the Task Scheduler's COM interface (ITaskService).
#include "os/os.h"

#include <windows.h>

#include <oleauto.h>
#include <taskschd.h>

#include <utility>

namespace Os {

namespace {

// An interface pointer released at the end of its scope.
template <class T> class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    T** out() { return &m_p; }
    void** outVoid() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};

// A BSTR freed at the end of its scope.
class Bstr
{
public:
    explicit Bstr(const std::string& wtf8)
    {
        const std::u16string text = utf16FromWtf8(wtf8);
        m_s = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), UINT(text.size()));
    }
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(m_s); }
    BSTR get() const { return m_s; }
    BSTR* out() { return &m_s; }
    std::string text() const
    {
        return m_s == nullptr ? std::string()
                              : wtf8FromUtf16(std::u16string(reinterpret_cast<const char16_t*>(m_s),
                                                             SysStringLen(m_s)));
    }

private:
    BSTR m_s = nullptr;
};

// COM for this thread, in whatever mode the thread already has it (a window's thread has it
// single-threaded).
class ComScope
{
public:
    ComScope() : m_hr(CoInitializeEx(nullptr, COINIT_MULTITHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    HRESULT result() const { return m_hr == RPC_E_CHANGED_MODE ? S_OK : m_hr; }

private:
    HRESULT m_hr;
};

const HRESULT TaskNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

// The Task Scheduler of this computer and its root folder, COM started for as long as they live.
struct TaskScheduler
{
    ComScope com; // first made, last gone
    ComPtr<ITaskService> service;
    ComPtr<ITaskFolder> root;

    HRESULT open(std::string& step)
    {
        HRESULT hr = com.result();
        if (FAILED(hr)) {
            step = "CoInitializeEx";
            return hr;
        }
        hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                              service.outVoid());
        if (FAILED(hr)) {
            step = "CoCreateInstance(CLSID_TaskScheduler)";
            return hr;
        }
        VARIANT none;
        VariantInit(&none);
        if (FAILED(hr = service->Connect(none, none, none, none))) {
            step = "ITaskService::Connect";
            return hr;
        }
        Bstr path("\\");
        if (FAILED(hr = service->GetFolder(path.get(), root.out())))
            step = "ITaskService::GetFolder";
        return hr;
    }
};

// Runs the steps in order and stops at the first that fails, naming it.
#define ZEB_STEP(call, name)                                                                       \
    if (FAILED(hr = (call))) {                                                                     \
        step = name;                                                                               \
        return hr;                                                                                 \
    }

} // namespace

long registerWeeklyTask(const std::string& name, const WeeklyTask& task, std::string& step)
{
    TaskScheduler scheduler;
    HRESULT hr = scheduler.open(step);
    if (FAILED(hr))
        return hr;
    ComPtr<ITaskDefinition> definition;
    ZEB_STEP(scheduler.service->NewTask(0, definition.out()), "ITaskService::NewTask")
    ComPtr<IRegistrationInfo> info;
    ZEB_STEP(definition->get_RegistrationInfo(info.out()), "ITaskDefinition::get_RegistrationInfo")
    Bstr author("ZEB 2000");
    ZEB_STEP(info->put_Author(author.get()), "IRegistrationInfo::put_Author")

    ComPtr<ITaskSettings> settings;
    ZEB_STEP(definition->get_Settings(settings.out()), "ITaskDefinition::get_Settings")
    // A week missed while the computer was off is made up as soon as it can be.
    ZEB_STEP(settings->put_StartWhenAvailable(VARIANT_TRUE),
             "ITaskSettings::put_StartWhenAvailable")
    ZEB_STEP(settings->put_DisallowStartIfOnBatteries(VARIANT_FALSE),
             "ITaskSettings::put_DisallowStartIfOnBatteries")

    // Every seventh day from now, at this time of day: a daily trigger that every Task Scheduler
    // implements, rather than the weekly one with its day of the week.
    ComPtr<ITriggerCollection> triggers;
    ZEB_STEP(definition->get_Triggers(triggers.out()), "ITaskDefinition::get_Triggers")
    ComPtr<ITrigger> trigger;
    ZEB_STEP(triggers->Create(TASK_TRIGGER_DAILY, trigger.out()), "ITriggerCollection::Create")
    ComPtr<IDailyTrigger> daily;
    ZEB_STEP(trigger->QueryInterface(IID_IDailyTrigger, daily.outVoid()),
             "ITrigger::QueryInterface(IDailyTrigger)")
    SYSTEMTIME now;
    GetLocalTime(&now);
    char start[32];
    wsprintfA(start, "%04u-%02u-%02uT%02u:%02u:00", now.wYear, now.wMonth, now.wDay, now.wHour,
              now.wMinute);
    Bstr boundary(start);
    ZEB_STEP(daily->put_StartBoundary(boundary.get()), "IDailyTrigger::put_StartBoundary")
    ZEB_STEP(daily->put_DaysInterval(7), "IDailyTrigger::put_DaysInterval")

    ComPtr<IActionCollection> actions;
    ZEB_STEP(definition->get_Actions(actions.out()), "ITaskDefinition::get_Actions")
    ComPtr<IAction> action;
    ZEB_STEP(actions->Create(TASK_ACTION_EXEC, action.out()), "IActionCollection::Create")
    ComPtr<IExecAction> exec;
    ZEB_STEP(action->QueryInterface(IID_IExecAction, exec.outVoid()),
             "IAction::QueryInterface(IExecAction)")
    Bstr program(task.program);
    Bstr arguments(task.arguments);
    ZEB_STEP(exec->put_Path(program.get()), "IExecAction::put_Path")
    ZEB_STEP(exec->put_Arguments(arguments.get()), "IExecAction::put_Arguments")

    Bstr taskName(name);
    VARIANT none;
    VariantInit(&none);
    ComPtr<IRegisteredTask> registered;
    ZEB_STEP(scheduler.root->RegisterTaskDefinition(
                 taskName.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                 TASK_LOGON_INTERACTIVE_TOKEN, none, registered.out()),
             "ITaskFolder::RegisterTaskDefinition")
    return S_OK;
}

long deleteWeeklyTask(const std::string& name, std::string& step)
{
    TaskScheduler scheduler;
    HRESULT hr = scheduler.open(step);
    if (FAILED(hr))
        return hr;
    Bstr taskName(name);
    hr = scheduler.root->DeleteTask(taskName.get(), 0);
    if (hr == TaskNotFound)
        return S_OK;
    if (FAILED(hr))
        step = "ITaskFolder::DeleteTask";
    return hr;
}

long readWeeklyTask(const std::string& name, bool& exists, WeeklyTask& task, std::string& step)
{
    exists = false;
    task = {};
    TaskScheduler scheduler;
    HRESULT hr = scheduler.open(step);
    if (FAILED(hr))
        return hr;
    Bstr taskName(name);
    ComPtr<IRegisteredTask> registered;
    hr = scheduler.root->GetTask(taskName.get(), registered.out());
    if (hr == TaskNotFound)
        return S_OK;
    if (FAILED(hr)) {
        step = "ITaskFolder::GetTask";
        return hr;
    }
    ComPtr<ITaskDefinition> definition;
    ZEB_STEP(registered->get_Definition(definition.out()), "IRegisteredTask::get_Definition")
    ComPtr<ITaskSettings> settings;
    ZEB_STEP(definition->get_Settings(settings.out()), "ITaskDefinition::get_Settings")
    VARIANT_BOOL available = VARIANT_FALSE;
    ZEB_STEP(settings->get_StartWhenAvailable(&available), "ITaskSettings::get_StartWhenAvailable")
    // It is there, whatever its action says below.
    exists = true;
    task.startWhenAvailable = available != VARIANT_FALSE;
    ComPtr<IActionCollection> actions;
    ZEB_STEP(definition->get_Actions(actions.out()), "ITaskDefinition::get_Actions")
    ComPtr<IAction> action;
    ZEB_STEP(actions->get_Item(1, action.out()), "IActionCollection::get_Item")
    ComPtr<IExecAction> exec;
    ZEB_STEP(action->QueryInterface(IID_IExecAction, exec.outVoid()),
             "IAction::QueryInterface(IExecAction)")
    Bstr program;
    Bstr arguments;
    ZEB_STEP(exec->get_Path(program.out()), "IExecAction::get_Path")
    ZEB_STEP(exec->get_Arguments(arguments.out()), "IExecAction::get_Arguments")
    task.program = program.text();
    task.arguments = arguments.text();
    return S_OK;
}

#undef ZEB_STEP

} // namespace Os
