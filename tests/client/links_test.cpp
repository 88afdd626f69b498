#include "client/chat/linkfinder.h"

#include <gtest/gtest.h>

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

struct LinkCase
{
    const char *text;
    const char *pointAt; // the pointer is on the first character of this part
    const char *link;    // nullptr: no link
};

const LinkCase kCases[] = {
    // A full stop after a "www." address ends the sentence, not the link.
    {"Ann chats: see www.example.com.", "example", "www.example.com"},
    {"Ann chats: see www.example.com. Bye", "www", "www.example.com"},
    // The whole word counts, with the blanks after it: the full stop, a
    // bracket before the prefix, the blank behind and the line's end.
    {"Ann chats: see www.example.com. Bye", ". Bye", "www.example.com"},
    {"Ann chats: see www.example.com.  Bye", "  Bye", "www.example.com"},
    {"Ann chats: see www.example.com. Bye", " Bye", "www.example.com"},
    {"Ann chats: (http://x.org/a) too", "(http", "http://x.org/a"},
    {"Ann chats: www.example.com\nnext line", "\n", "www.example.com"},
    {"Ann chats: see www.example.com", " www", nullptr},
    {"   www.example.com", " ", nullptr},
    // Secure addresses, with or without "www.", and in capitals.
    {"Ann chats: https://example.com/a.", "example", "https://example.com/a"},
    {"Ann chats: https://www.example.com/", "www", "https://www.example.com/"},
    {"Ann chats: HTTPS://Example.COM", "Example", "HTTPS://Example.COM"},
    {"Ann chats: https:// alone", "https", nullptr},
    // A bare prefix is no link.
    {"Ann chats: type http:// then", "http", nullptr},
    {"Ann chats: www. is short", "www", nullptr},
    {"Ann chats: news: today", "news", nullptr},
    // Letter case is kept.
    {"Ann chats: HTTP://EXAMPLE.COM/Path", "EXAMPLE", "HTTP://EXAMPLE.COM/Path"},
    {"Ann chats: Www.Example.Com", "Example", "Www.Example.Com"},
    {"Ann chats: mail mailto:ann@example.com", "ann@", "mailto:ann@example.com"},
    // Trailing brackets and punctuation go; a leading one is before the prefix.
    {"Ann chats: (http://x.org/a)", "x.org", "http://x.org/a"},
    {"Ann chats: [ftp://files.example.net/pub/],", "files", "ftp://files.example.net/pub/"},
    {"Ann chats: really? http://a.b/c?!", "a.b", "http://a.b/c"},
    {"Ann chats: http://example.com/path:", "example", "http://example.com/path"},
    {"Ann chats: file://tmp/x", "tmp", "file://tmp/x"},
    {"Ann chats: gopher://g.org telnet://t.org", "t.org", "telnet://t.org"},
    {"Ann chats: news:comp.games", "comp", "news:comp.games"},
    // Only letters a to z, digits and "/" may end a link.
    {"Ann chats: http://example.de/café", "caf", "http://example.de/caf"},
    // The prefix order decides, not where a prefix stands in the word.
    {"Ann chats: www.a.com/http://b.org", "www", "http://b.org"},
    // Words without a prefix, and the blanks between words.
    {"Ann chats: hello world", "world", nullptr},
    {"Ann chats: hello world", " world", nullptr},
    {"Ann chats: www.example.com", " www", nullptr},
};

TEST(LinkFinder, FindsLinksInTheWordUnderThePointer)
{
    for (const LinkCase &c : kCases) {
        const QString text = QString::fromUtf8(c.text);
        const int position = int(text.indexOf(QString::fromUtf8(c.pointAt)));
        SCOPED_TRACE(c.text);
        ASSERT_GE(position, 0);
        const auto link = findLinkAt(text, position);
        if (!c.link) {
            EXPECT_FALSE(link.has_value()) << link->text.toStdString();
            continue;
        }
        ASSERT_TRUE(link.has_value());
        const QString expected = QString::fromUtf8(c.link);
        EXPECT_EQ(link->text, expected);
        EXPECT_EQ(link->length, expected.size());
        EXPECT_EQ(text.mid(link->start, link->length), expected);
    }
}

TEST(LinkFinder, NoLinkAtOrPastTheEndOfTheText)
{
    const QString text = QStringLiteral("www.example.com");
    EXPECT_TRUE(findLinkAt(text, 0).has_value());
    EXPECT_TRUE(findLinkAt(text, int(text.size()) - 1).has_value());
    EXPECT_FALSE(findLinkAt(text, int(text.size())).has_value());
    EXPECT_FALSE(findLinkAt(text, int(text.size()) + 5).has_value());
    EXPECT_FALSE(findLinkAt(text, -1).has_value());
    EXPECT_FALSE(findLinkAt(QString(), 0).has_value());
    // A line end inside the text is a blank of the word before it.
    const QString twoLines = QStringLiteral("www.example.com\nhi");
    EXPECT_EQ(findLinkAt(twoLines, 15)->text, text);
    EXPECT_FALSE(findLinkAt(twoLines, 16).has_value());
}

TEST(LinkFinder, WhatTheDesktopIsAskedToOpen)
{
    const std::pair<const char *, const char *> cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"WWW.Example.com/A", "http://www.example.com/A"},
        {"http://example.com/x", "http://example.com/x"},
        {"https://www.example.com/x", "https://www.example.com/x"},
        {"HTTP://EXAMPLE.COM/Path", "http://example.com/Path"},
        {"mailto:ann@example.com", "mailto:ann@example.com"},
        {"ftp://files.example.net/pub/", "ftp://files.example.net/pub/"},
        // A file on this machine named by somebody else in the chat is not opened.
        {"file:///home/ann/run.sh", ""},
        {"FILE://tmp/x", ""},
    };
    for (const auto &[link, url] : cases)
        EXPECT_EQ(urlToOpen(QString::fromLatin1(link)).toString(), QString::fromLatin1(url))
            << link;
}

} // namespace
