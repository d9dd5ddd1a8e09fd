#include "run/BackupRun.h"

#include <exception>

#include "platform/System.h"
#include "run/ItemNames.h"
#include "run/Transfer.h"
#include "settings/AutomationDate.h"
#include "settings/Base64.h"
#include "settings/SettingNames.h"
#include "settings/Settings.h"

namespace norvo::run {

BackupRun::BackupRun(RunEnvironment environment) : env_(std::move(environment)) {}

RunResult BackupRun::Run() {
  RunResult result;
  PrepareWorkFolder();
  // From here on, any unexpected failure ends the run through Fail().
  bool going = false;
  try {
    going = ReadSettings() && !Interrupted();
    if (going) {
      const Lookup lookup = LookupAccount();
      if (lookup == Lookup::NoAccount) {
        result.end = RunEnd::NoAccount;
        return result;
      }
      going = lookup == Lookup::Account && !Interrupted() && ChooseSlotAndCustomer() && DatabasePhase() &&
              FilePhase() && !Interrupted();
      if (going) {
        RestoreDrill();  // its failure is an error of the run, never its end
        going = !Interrupted() && CloseRun();
      }
    }
  } catch (const std::exception& failure) {
    going = Fail(failure.what(), std::string("error inesperado: ") + failure.what());
  } catch (...) {
    going = Fail("unexpected failure", "error inesperado");
  }
  result.end = going ? RunEnd::Completed : RunEnd::Aborted;
  result.reason = failure_;
  result.errors = errorList_;
  result.slot = copySlot_;
  result.recorded = recorded_;
  result.complete = complete_;
  return result;
}

void BackupRun::PrepareWorkFolder() {
  // Failures here leave the value empty or the folder missing; the phases report them.
  try {
    computerName_ = GetMachineName();
    workFolder_ = PickWorkDrive() + "TEMP_Norvo" + platform::kPathSeparator;
    if (!FolderExists(workFolder_)) platform::CreateFolder(workFolder_);
    // Dumps and archives (without a password plain data) are this user's alone.
    platform::MakePrivate(workFolder_);
  } catch (...) {
  }
  Say("work folder " + workFolder_);
}

BackupRun::Lookup BackupRun::LookupAccount() {
  replyBuffer_ = env_.service.LookupAccount(settings_.cliente, kRunReplySize);
  auto fields = SplitAccountReply(replyBuffer_);
  if (!fields) {
    Fail("the account service answered with more than six fields");
    return Lookup::Failed;
  }
  accountFields_ = *fields;
  if (accountFields_[0].empty()) {
    Say("no account for this customer code (or no answer from the account service): nothing to do");
    return Lookup::NoAccount;
  }
  accountKnown_ = true;
  Say("account of " + accountFields_[0]);
  return Lookup::Account;
}

bool BackupRun::ChooseSlotAndCustomer() {
  copySlot_ = NextCopySlot(settings_.lastSlot, settings_.copies);
  Say("copy slot " + std::to_string(copySlot_));
  std::string error;
  const std::optional<std::string> code = settings::DecodeStoredSetting(settings_.cliente, &error);
  if (!code) {
    return Fail(std::string(settings::kCliente) + ": " + error,
                "el código de cliente guardado no es Base64 válido");
  }
  customerCode_ = *code;
  return true;
}

void BackupRun::AddError(const std::string& text) {
  errorList_.push_back(text);
  Say("error: " + text);
}

bool BackupRun::CloseRun() {
  if (!errorList_.empty()) {
    for (const auto& error : errorList_) {
      env_.service.ReportError(customerCode_, accountFields_[0], computerName_, error);
    }
    Say("reported " + std::to_string(errorList_.size()) + " error(s)");
  } else if (settings_.notify) {
    env_.service.NotifySuccess(customerCode_, settings_.mail, computerName_);
    Say("success notice requested for " + settings_.mail);
  }
  if (Interrupted()) return false;  // reports out, but this run is not recorded as done
  const std::string date = settings::FormatRunDate(env_.clock());
  const std::string slot = std::to_string(copySlot_);
  settings::WriteSetting(settings::kRespRespFecha, date);
  settings::WriteSetting(settings::kRespRespUCopia, slot);
  // A complete copy: at least one item, each of them in the cloud and none
  // with an error (a database that could not be reached, sources that could
  // not be read).
  if (errorList_.empty() && itemsUploaded_ > 0) {
    settings::WriteSetting(settings::kRespRespCompleta, date);
    complete_ = settings::ReadSetting(settings::kRespRespCompleta) == date;
    if (!complete_) Say("the settings store could not save the date of this complete copy");
  }
  // The store may be held by another writer past its busy time-out. Unsaved,
  // the next run would use this slot again: tell the provider, since the
  // reports above are already out.
  if (settings::ReadSetting(settings::kRespRespFecha) != date ||
      settings::ReadSetting(settings::kRespRespUCopia) != slot) {
    const std::string text = std::string(kRunNotSaved) + " (copy slot " + slot + ")";
    Say("error: " + text);
    env_.service.ReportError(customerCode_, accountFields_[0], computerName_, text);
  } else {
    recorded_ = true;
  }
  Say("run finished with " + std::to_string(errorList_.size()) + " error(s), copy slot " +
      std::to_string(copySlot_));
  return true;
}

bool BackupRun::Fail(const std::string& reason, const std::string& report) {
  if (!failure_.empty()) return false;  // the run has ended already
  failure_ = reason;
  if (!accountKnown_ || report.empty()) {
    Say("run ended: " + reason + " (nothing more is sent or saved)");
    return false;
  }
  Say("run ended: " + reason + " (reported to the account service; nothing more is sent or saved)");
  // A Cliente that could not be decoded is named as it is stored.
  const std::string customer = customerCode_.empty() ? settings_.cliente : customerCode_;
  try {
    env_.service.ReportError(customer, accountFields_[0], computerName_, kRunEndedEarly + report);
  } catch (...) {
    Say("the report of the run's end could not be sent");
  }
  return false;
}

bool BackupRun::Interrupted() {
  const std::string request = env_.endRequest ? env_.endRequest() : std::string();
  if (request.empty()) return false;
  Fail("asked to end (" + request + ")", "el programa fue interrumpido (" + request + ")");
  return true;
}

void BackupRun::Say(const std::string& line) const {
  if (env_.diagnostic) env_.diagnostic(line);
}

std::string BackupRun::CustomerFolder() const { return accountFields_[4] + customerCode_ + "/"; }

std::string BackupRun::ComputerFolder() const { return CustomerFolder() + computerName_ + "/"; }

}  // namespace norvo::run
