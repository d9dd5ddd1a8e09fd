#include "cloud/CloudListing.h"

#include "cloud/CloudData.h"
#include "ftp/cFTP.h"

namespace norvo::cloud {
namespace {

// The size text of the file from the service's table; "0" when the table
// does not name it (case-sensitive) or gives no size.
QString LookupSize(const std::vector<SizePair>& table, const std::string& filename) {
  for (const SizePair& pair : table) {
    if (pair.first != filename) continue;
    return pair.second.empty() ? QString("0") : QString::fromStdString(pair.second);
  }
  return "0";
}

void AddEntries(const ftp::cDirList& directory, const std::vector<SizePair>& table, CloudListing* listing) {
  int k = 0;
  for (const ftp::cDirItem& item : directory) {
    if (item.Directory) continue;  // a folder is no backup
    Respaldo respaldo;
    DateTexts(item.LastWriteTime, &respaldo.Dia, &respaldo.Hora);
    if (respaldo.Dia.isEmpty()) continue;  // no modification time
    respaldo.Fecha = item.LastWriteTime;
    respaldo.Archivo = QString::fromStdString(item.Filename);
    respaldo.Tamano = LookupSize(table, item.Filename);
    double size = 0;
    if (SizeValue(respaldo.Tamano, &size)) listing->total += size;
    if (k < kRespaldosCount) listing->respaldos[k] = respaldo;
    ++k;
  }
}

}  // namespace

CloudListing LoadCloudListing(const run::AccountService& service, const std::string& cliente,
                              const std::string& computerName, const net::FtpSessionOptions& options) {
  CloudListing listing;
  const std::string code = DecodeCustomerCode(cliente);
  const std::vector<SizePair> table =
      ParseSizeTable(service.ListCopies(cliente, computerName, run::kCopyListReplySize));
  const run::AccountFields fields =
      run::FirstSixFields(service.LookupAccount(cliente, run::kCopyListReplySize));
  if (fields[0].empty()) return listing;

  ftp::cFTP ftp(options);
  ftp.SetModePassive();
  ftp.SetTransferASCII();
  if (!ftp.OpenConnection(fields[1], fields[2], fields[3])) return listing;
  if (!ftp.SetFTPDirectory(CustomerFolder(fields, code, computerName))) return listing;
  // Every step before succeeded, so an error text now is the listing's own:
  // no list with it means the listing failed, not that nothing matched.
  if (!ftp.GetDirectoryListing("*.RAR") && !ftp.GetLastErrorMessage().empty()) {
    listing.problem = ftp.GetLastErrorMessage();
    return listing;
  }
  AddEntries(*ftp.Directory(), table, &listing);
  ftp.CloseConnection();
  listing.listed = true;
  return listing;
}

}  // namespace norvo::cloud
