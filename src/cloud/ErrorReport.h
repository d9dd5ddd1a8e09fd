#pragma once
// The mail that reports a failed restore to the provider.
#include <string>
#include <string_view>

#include "settings/ProviderConfig.h"

namespace norvo::cloud {

// The report's text, lines joined by CR LF, the error text last with no line end.
std::string ErrorReportBody(std::string_view zCod, std::string_view zRaz, std::string_view zEqu,
                            std::string_view zErr, std::string_view version);
// "Problema en cliente: " followed by the company name.
std::string ErrorReportSubject(std::string_view zRaz);
// The provider's two report addresses joined by ";": support, then report mailbox.
std::string ErrorReportRecipients(const settings::ProviderConfig& config);

// Sends the report in the provider's name. A failure to send is not reported
// to the user; it comes back as false with the reason in *error.
bool SendErrorReport(const settings::ProviderConfig& config, std::string_view zCod, std::string_view zRaz,
                     std::string_view zEqu, std::string_view zErr, std::string_view version,
                     std::string* error = nullptr);

}  // namespace norvo::cloud
