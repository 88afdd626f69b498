#pragma once

// Whether a chat line begins with a speaker, shown in bold up to the first
// ":". A line with colons of its own, such as one with an IPv6 address, has
// none.
enum class ChatLineHead { Speaker, None };
