#include "client/session/joinfailure.h"

#include <gtest/gtest.h>

namespace {

// Plain words first, the socket's text after them; a failure without plain
// words keeps the socket's text alone.
TEST(JoinFailure, PlainWordsComeBeforeTheSocketsText)
{
    struct Case
    {
        QString socketText;
        QString words;
    };
    const Case cases[] = {
        {"Error #10061 (WSAECONNREFUSED)",
         "nobody is hosting a game there (Error #10061 (WSAECONNREFUSED))"},
        {"Error #10060 (WSAETIMEDOUT)",
         "no answer; the computer may be off, or a firewall may block port 7772 (Error #10060 "
         "(WSAETIMEDOUT))"},
        {"Host Lookup - Could Not Find Host Entry",
         "no computer of that name could be found (Host Lookup - Could Not Find Host Entry)"},
        {"Error #10051 (WSAENETUNREACH)", "Error #10051 (WSAENETUNREACH)"},
        {"Error #10065 (WSAEHOSTUNREACH)", "Error #10065 (WSAEHOSTUNREACH)"},
        {"Port Lookup - Could Not Find Service Entry",
         "Port Lookup - Could Not Find Service Entry"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(joinFailureWords(c.socketText, 7772), c.words) << c.socketText.toStdString();
}

} // namespace
