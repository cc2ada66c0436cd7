#include <gtest/gtest.h>

#include <climits>

#include "UpdateRules.h"

namespace {

const HttpTarget kCurrent{"web.example", 8080, "/app/Quorvanes.exe"};

void ExpectTarget(const std::optional<HttpTarget>& target, const std::string& host, int port,
                  const std::string& object) {
  ASSERT_TRUE(target.has_value());
  EXPECT_EQ(host, target->host);
  EXPECT_EQ(port, target->port);
  EXPECT_EQ(object, target->object);
}

}  // namespace

TEST(LocationHeader, TakesTheRestOfTheLocationLineWithoutItsBreak) {
  std::string raw =
      "HTTP/1.1 302 Found\r\nContent-Length: 0\r\nLocation: http://127.0.12.3:8123/app/Quorvanes.exe\r\n"
      "Connection: close\r\n\r\n";
  EXPECT_EQ("http://127.0.12.3:8123/app/Quorvanes.exe", LocationHeader(raw).value_or("none"));
  EXPECT_EQ("http://a/b", LocationHeader("HTTP/1.0 301 Moved\r\nlocation:http://a/b  \r\n").value_or("none"));
  // Last line without its break, and a header whose value merely holds the name.
  EXPECT_EQ("/x", LocationHeader("HTTP/1.0 303 See\r\nX-Note: Location: no\r\nLocation: /x").value_or("none"));
  EXPECT_FALSE(LocationHeader("HTTP/1.0 302 Found\r\nContent-Location: /y\r\n\r\n").has_value());
  EXPECT_FALSE(LocationHeader("").has_value());
}

TEST(RedirectTarget, SplitsServerPortAndObjectFetchedAsPlainHttp) {
  ExpectTarget(RedirectTarget("http://127.0.12.3:8123/app/Quorvanes.exe", kCurrent), "127.0.12.3", 8123,
               "/app/Quorvanes.exe");
  ExpectTarget(RedirectTarget("http://mirror.example/app/Q.exe?v=2", kCurrent), "mirror.example", 80, "/app/Q.exe?v=2");
  // Another scheme keeps its usual port, and still goes as plain HTTP.
  ExpectTarget(RedirectTarget("https://secure.example/app/Q.exe", kCurrent), "secure.example", 443, "/app/Q.exe");
  ExpectTarget(RedirectTarget("ftp://files.example:2121/Q.exe", kCurrent), "files.example", 2121, "/Q.exe");
  ExpectTarget(RedirectTarget("http://user:pw@host.example:81", kCurrent), "host.example", 81, "/");
  ExpectTarget(RedirectTarget("/other/Quorvanes.exe", kCurrent), "web.example", 8080, "/other/Quorvanes.exe");
}

TEST(RedirectTarget, RefusesWhatIsNoUrl) {
  for (const char* location : {"", "Quorvanes.exe", "://host/x", "http://", "http://:80/x", "http://host:0/x",
                               "http://host:65536/x", "http://host:8o/x", "http://host:/x"}) {
    EXPECT_FALSE(RedirectTarget(location, kCurrent).has_value()) << location;
  }
}

TEST(ContentLengthOf, ReadsDecimalsThatFitAnInt) {
  EXPECT_EQ(50000, ContentLengthOf("50000"));
  EXPECT_EQ(7, ContentLengthOf(" 7 "));
  EXPECT_EQ(0, ContentLengthOf("0"));
  EXPECT_EQ(INT_MAX, ContentLengthOf("2147483647"));
  for (const char* text : {"", "  ", "-5", "12a", "0x10", "2147483648", "99999999999"}) {
    EXPECT_EQ(0, ContentLengthOf(text)) << text;
  }
}

TEST(ProgressPercent, ScalesWithoutOverflowAndStaysInRange) {
  EXPECT_EQ(0, ProgressPercent(0, 1000));
  EXPECT_EQ(50, ProgressPercent(500, 1000));
  EXPECT_EQ(99, ProgressPercent(1022, 1023));
  EXPECT_EQ(100, ProgressPercent(1000, 1000));
  // received * 100 would overflow 32 bits.
  EXPECT_EQ(50, ProgressPercent(1000000000, 2000000000));
  EXPECT_EQ(100, ProgressPercent(INT_MAX, INT_MAX));
  EXPECT_EQ(100, ProgressPercent(2000, 1000));
  EXPECT_EQ(0, ProgressPercent(10, 0));
}

TEST(ArrivedWhole, NeedsStatus200SomethingReceivedAndTheAnnouncedSize) {
  EXPECT_TRUE(ArrivedWhole(true, 50000, 50000));
  EXPECT_FALSE(ArrivedWhole(true, 1234, 50000)) << "short body";
  EXPECT_FALSE(ArrivedWhole(true, 50000, 0)) << "no size announced";
  // Nothing received: even when both sizes agree at 0 an old file must not be started.
  EXPECT_FALSE(ArrivedWhole(true, 0, 0));
  EXPECT_FALSE(ArrivedWhole(false, 0, 0));
  EXPECT_FALSE(ArrivedWhole(false, 50000, 50000));
}

TEST(RequiredVersionsInPlace, ChecksOnlyTheRequiredVersions) {
  const std::optional<std::string> v12 = std::string("7.0.3.12");
  EXPECT_TRUE(RequiredVersionsInPlace(v12, "7.0.3.12", v12, "7.0.3.12"));
  EXPECT_FALSE(RequiredVersionsInPlace(v12, "7.0.3.13", v12, "7.0.3.12"));
  EXPECT_FALSE(RequiredVersionsInPlace(v12, "7.0.3.12", v12, "7.0.3.13"));
  EXPECT_FALSE(RequiredVersionsInPlace(std::nullopt, "7.0.3.12", v12, ""));
  EXPECT_TRUE(RequiredVersionsInPlace(v12, "7.0.3.12", std::nullopt, ""));
  EXPECT_TRUE(RequiredVersionsInPlace(std::nullopt, "", std::nullopt, ""));
}
