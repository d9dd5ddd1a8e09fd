// The HTTP GET of the account service against its stand-in: one bounded
// read, and every failure reads as nothing within the time-out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "net/HttpGet.h"
#include "peers/AccountServicePeer.h"
#include "run/AccountService.h"
#include "support/Ports.h"
#include "support/TempDir.h"

namespace norvo::test {
namespace {

using namespace norvo::net;

class HttpGetTest : public ::testing::Test {
 protected:
  HttpGetResult Get(const std::string& query, std::size_t max = 250, int timeout = 2) {
    HttpGetOptions options;
    options.max_bytes = max;
    options.timeout_s = timeout;
    const auto start = std::chrono::steady_clock::now();
    auto result = HttpGet("http://" + peer_.host() + "/funciones.php?" + query, options);
    seconds_ = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
  }
  TempDir dir_;
  AccountServicePeer peer_{dir_.path().string()};
  double seconds_ = 0;
};

TEST_F(HttpGetTest, ReadsAtMostTheGivenNumberOfBytes) {
  const std::string reply(400, 'x');
  peer_.Configure({{"tipo3", reply}, {"tipo8", "short"}});
  auto cut = Get("Tipo=3&Clave=a");
  EXPECT_TRUE(cut.ok) << cut.error;
  EXPECT_EQ(cut.body, std::string(250, 'x'));
  EXPECT_EQ(Get("Tipo=3&Clave=a", 1000).body, reply);
  EXPECT_EQ(Get("Tipo=8", 5).body, "short");
  EXPECT_EQ(Get("Tipo=8", 100).body, "short");
}

TEST_F(HttpGetTest, SilentDroppedOrFailingServiceReadsNothingWithinTheTimeOut) {
  peer_.Configure({{"tipo3", "Acme;h"}, {"delay_s", {{"3", 5}}}, {"drop", {"8"}}, {"status", {{"4", 500}}}});
  auto slow = Get("Tipo=3", 250, 1);
  EXPECT_FALSE(slow.ok);
  EXPECT_EQ(slow.body, "");
  EXPECT_LT(seconds_, 3.5);
  EXPECT_FALSE(Get("Tipo=8").ok);
  auto failing = Get("Tipo=4");
  EXPECT_FALSE(failing.ok);
  EXPECT_EQ(failing.status, 500);
}

TEST_F(HttpGetTest, ClosedPortFailsAtOnce) {
  const int port = FreeLoopbackPort();  // nobody listens there now
  HttpGetOptions options;
  auto result = HttpGet("http://127.0.0.1:" + std::to_string(port) + "/funciones.php?Tipo=3", options);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
}

TEST_F(HttpGetTest, DirectWithHostAndAgentOnlyAndAMovedServiceIsFollowed) {
  ScopedEnv httpProxy("http_proxy", "http://127.0.0.1:1");
  ScopedEnv allProxy("all_proxy", "http://127.0.0.1:1");
  peer_.Configure({{"tipo3", "Acme;h;u;p;/"}, {"moved", {{"3", "/nuevo/funciones.php"}}}});
  auto result = Get("Tipo=3&Clave=MTIz");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.body, "Acme;h;u;p;/");
  auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1]["path"], "/nuevo/funciones.php");
  EXPECT_EQ(requests[1]["raw_query"], "Tipo=3&Clave=MTIz");
  std::vector<std::string> headers;
  for (const auto& header : requests[0]["headers"].items()) headers.push_back(header.key());
  EXPECT_THAT(headers, ::testing::UnorderedElementsAre("Host", "User-Agent"));
}

TEST_F(HttpGetTest, TheRunsRequestsNameTheAgentNorvoBackup) {
  run::AccountService service(peer_.host(), run::CurlFetch(2));
  service.LookupAccount("MTIz");
  ASSERT_EQ(peer_.Requests().size(), 1u);
  EXPECT_EQ(peer_.Requests()[0]["headers"]["User-Agent"], "Norvo Backup");
}

TEST_F(HttpGetTest, AccountServiceRequestsArriveDecodedAsSent) {
  run::AccountService service(peer_.host(), run::CurlFetch(2));
  peer_.Configure({{"tipo3", "Compañía;ftp;u;p;/b/"}});
  const auto fields = run::SplitAccountReply(service.LookupAccount("MTIz+/=="));
  EXPECT_EQ(fields->at(0),
            "Compa\xF1\xED"
            "a")
      << "the service's Windows-1252 bytes";
  service.ReportError("123", fields->at(0), "PC1", "Problema al ingresar al directorio /b/1 2/");
  auto requests = peer_.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0]["path"], "/funciones.php");
  EXPECT_EQ(requests[0]["raw_query"], "Tipo=3&Clave=MTIz+/==");
  EXPECT_THAT(
      peer_.Queries().at(1),
      ::testing::Eq("Tipo=5&CL=123&NO=Compañía&NE=PC1&ER=Problema al ingresar al directorio /b/1 2/"));
}

}  // namespace
}  // namespace norvo::test
