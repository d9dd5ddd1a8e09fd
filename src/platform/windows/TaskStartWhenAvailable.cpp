// The weekly task's "start when available" setting on Windows, which SCHTASKS
// has no switch for: the task it registered is read back through the task
// scheduler's COM interface, the setting is turned on, and the definition is
// registered again over the task under the same account. Everything else in
// the definition stays as SCHTASKS made it.
#include <taskschd.h>
#include <wrl/client.h>

#include "platform/Scheduler.h"
#include "platform/windows/ComText.h"

namespace norvo::platform {

bool StartTaskWhenAvailable(const WeeklyTask& task, std::string* error) {
  using Microsoft::WRL::ComPtr;
  const ComScope com;
  const char* step = "starting COM";
  HRESULT result = com.Status();
  ComPtr<ITaskService> service;
  if (SUCCEEDED(result)) {
    step = "opening the task scheduler";
    result = CoCreateInstance(__uuidof(TaskScheduler), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&service));
  }
  const TextVariant none;
  if (SUCCEEDED(result)) {
    step = "connecting to the task scheduler";
    result = service->Connect(none.get(), none.get(), none.get(), none.get());
  }
  ComPtr<ITaskFolder> root;
  if (SUCCEEDED(result)) result = service->GetFolder(ComText("\\").get(), &root);
  const ComText name(task.name);
  ComPtr<IRegisteredTask> registered;
  if (SUCCEEDED(result)) {
    step = "reading the task";
    result = root->GetTask(name.get(), &registered);
  }
  ComPtr<ITaskDefinition> definition;
  if (SUCCEEDED(result)) result = registered->get_Definition(&definition);
  ComPtr<ITaskSettings> settings;
  if (SUCCEEDED(result)) result = definition->get_Settings(&settings);
  if (SUCCEEDED(result)) result = settings->put_StartWhenAvailable(VARIANT_TRUE);
  // A task that runs whether or not its account is logged on keeps that
  // account's password: it is handed over again, as SCHTASKS got it.
  const TextVariant account(task.domain + "\\" + task.user);
  const TextVariant password(task.password);
  ComPtr<IRegisteredTask> updated;
  if (SUCCEEDED(result)) {
    step = "updating the task";
    result = root->RegisterTaskDefinition(name.get(), definition.Get(), TASK_UPDATE, account.get(),
                                          password.get(), TASK_LOGON_PASSWORD, none.get(), &updated);
  }
  if (SUCCEEDED(result)) return true;
  if (error) *error = std::string(step) + " \"" + task.name + "\": " + ComErrorText(result);
  return false;
}

}  // namespace norvo::platform
