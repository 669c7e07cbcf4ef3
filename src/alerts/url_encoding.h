#pragma once

#include <string>
#include <string_view>

namespace wardel {

// A value as it goes into a gateway request's query string. Exactly the bytes that would change the
// request's meaning, be read otherwise by a usual query decoder, or are not legal in a URL become "%XX"
// (upper-case hex): control characters, blank, DEL, every byte above 0x7F (so text in UTF-8 travels as its
// UTF-8 bytes) and " # % & * + < = > [ \ ] ^ ` { | }. Everything else, "," "@" ":" "(" ")" among them, stays
// literal, so an ordinary value reaches the gateway as typed. Without this a description "R&D web" would
// cut the SMS text at "R", a password with "&", "#" or "+" (which a decoder reads as a blank) could never
// log on, and a CR LF in a text would split the HTTP request. "*" is encoded so that no request URL holds
// one: the logon reply is recognised by its stars.
std::string encodeQueryValue(std::string_view value);

// The SMS recipient list: encoded like any value, except that the "+" of international numbers stays
// literal, as the gateway has always received them.
std::string encodeRecipientNumbers(std::string_view value);

// The text as it stands when its encoding takes at most `bytes` bytes; otherwise its longest start, cut at a
// character, whose encoding with "…" after it fits, and that "…" (only "…" when nothing more fits).
std::string cutToEncodedSize(std::string_view text, std::size_t bytes);

} // namespace wardel
