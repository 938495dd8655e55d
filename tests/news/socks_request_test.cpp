#include "news/socks_client.h"

#include <gtest/gtest.h>

#include <string>

namespace fhr {
namespace {

std::string Bytes(const char* data, std::size_t size) { return std::string(data, size); }

TEST(SocksRequestTest, Socks4CarriesAnAddressAndTheUserId) {
  EXPECT_EQ(Socks4Request("127.0.0.1", 119, ""), Bytes("\x04\x01\x00\x77\x7f\x00\x00\x01\x00", 9));
  EXPECT_EQ(Socks4Request("10.1.2.3", 563, "me"), Bytes("\x04\x01\x02\x33\x0a\x01\x02\x03me\x00", 11));
  EXPECT_FALSE(Socks4Request("news.example", 119, ""));
  EXPECT_FALSE(Socks4Request("127.0.0.1", 0, ""));
  EXPECT_FALSE(Socks4Request("127.0.0.1", 119, std::string("a\0b", 3)));
}

TEST(SocksRequestTest, Socks4aSendsTheNameAfterTheUserId) {
  EXPECT_EQ(Socks4aRequest("news.example", 119, "u"),
            Bytes("\x04\x01\x00\x77\x00\x00\x00\x01u\x00news.example\x00", 23));
  // An address needs no name.
  EXPECT_EQ(Socks4aRequest("127.0.0.1", 119, ""), Socks4Request("127.0.0.1", 119, ""));
  EXPECT_FALSE(Socks4aRequest(std::string(256, 'a'), 119, ""));
  EXPECT_FALSE(Socks4aRequest("", 119, ""));
}

TEST(SocksRequestTest, Socks5AddressTypes) {
  EXPECT_EQ(Socks5Greeting(false), Bytes("\x05\x01\x00", 3));
  EXPECT_EQ(Socks5Greeting(true), Bytes("\x05\x01\x02", 3));
  EXPECT_EQ(Socks5AuthRequest("ab", "xyz"), Bytes("\x01\x02" "ab" "\x03" "xyz", 8));
  EXPECT_FALSE(Socks5AuthRequest(std::string(256, 'u'), "p"));
  EXPECT_FALSE(Socks5AuthRequest("u", ""));

  EXPECT_EQ(Socks5ConnectRequest("localhost", 119), Bytes("\x05\x01\x00\x03\x09localhost\x00\x77", 16));
  EXPECT_EQ(Socks5ConnectRequest("127.0.0.1", 563), Bytes("\x05\x01\x00\x01\x7f\x00\x00\x01\x02\x33", 10));
  auto v6 = Socks5ConnectRequest("::1", 119);
  ASSERT_TRUE(v6);
  EXPECT_EQ(v6->size(), 4u + 16u + 2u);
  EXPECT_EQ((*v6)[3], '\x04');
  EXPECT_TRUE(Socks5ConnectRequest(std::string(255, 'a'), 119));
  EXPECT_FALSE(Socks5ConnectRequest(std::string(256, 'a'), 119));
}

}  // namespace
}  // namespace fhr
