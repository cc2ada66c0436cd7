#include <gtest/gtest.h>

#include "ServiceEndpoints.h"

TEST(ServiceEndpoints, HostAndPortParsing) {
  EXPECT_EQ("example.test", ParseHostAndPort("example.test").host);
  EXPECT_EQ(80, ParseHostAndPort("example.test").port);
  HostAndPort withPort = ParseHostAndPort("127.0.0.9:8080");
  EXPECT_EQ("127.0.0.9", withPort.host);
  EXPECT_EQ(8080, withPort.port);
  EXPECT_EQ(80, ParseHostAndPort("h:0").port);
  EXPECT_EQ(80, ParseHostAndPort("h:99999").port);
  EXPECT_EQ(80, ParseHostAndPort("h:8x").port);
  EXPECT_EQ(80, ParseHostAndPort("h:").port);
}

TEST(ServiceEndpoints, WebHostUrlLeavesOutPort80) {
  OverrideWebHost("www.example.test");
  EXPECT_EQ("http://www.example.test/app/download.html", WebHostUrl("/app/download.html"));
  OverrideWebHost("127.0.0.2:8080");
  EXPECT_EQ("http://127.0.0.2:8080/", WebHostUrl("/"));
  OverrideWebHost("127.0.0.2:80");
  EXPECT_EQ("http://127.0.0.2/", WebHostUrl("/"));
}

TEST(ServiceEndpoints, BuildSettingCanBeOverridden) {
  std::string built = TransferServerHost();
  EXPECT_FALSE(built.empty());
  OverrideTransferServerHost("127.0.4.1");
  EXPECT_EQ("127.0.4.1", TransferServerHost());
  OverrideTransferServerHost(built);
}
