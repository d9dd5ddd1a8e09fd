#pragma once
// A restore of gigabytes must not look hung: the download runs on a worker
// thread while a dialog shows the file name and the bytes done of the total,
// with a Cancel that stops the transfer and removes the temporary file.
#include "ftp/RestoreDownload.h"

class QWidget;

namespace norvo::cloud {

// The dialog's object name, for tests that press its Cancel.
inline constexpr const char* kProgressDialogName = "dlgProgreso";

// Runs DownloadBackup with the dialog shown; returns when it has ended.
ftp::RestoreFailure RunRestoreWithProgress(const ftp::RestoreRequest& request, QWidget* parent = nullptr);

}  // namespace norvo::cloud
