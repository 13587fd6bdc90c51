// The texts and codes that an OdbcAccs records itself, byte for byte. Japanese
// texts are Windows-31J (Shift-JIS) bytes, written as escapes so that the
// source file's own encoding cannot change them.
#pragma once

namespace jov {

constexpr const char kMsgInvalidCursor[] = "(ODBCACCS)Invalid Open Cursol Handle=%d";
constexpr const char kMsgInvalidOrientation[] = "(ODBCACCS)Invalid Fetch Orientation=%d";
constexpr const char kMsgNotEnoughMemory[] = "(ODBCACCS)Not Enough Memory";
constexpr const char kMsgStillExecutingTimeout[] = "(ODBCACCS)SQL_STILL_EXECUTING Time Out Error";
constexpr const char kMsgTooManyCursors[] = "Too Many SQL Cursor Open(Max Open=%d)";
constexpr const char kMsgAllocHandleError[] = "SQLAllocHandle Error Code=(%d)";

// "OdbcAccs::OdbcOpenは既に(%s)でオープン中です。１クラス内でオープン出来るＤＳは１つのみです"
constexpr const char kMsgAlreadyOpen[] =
    "OdbcAccs::OdbcOpen\x82\xCD\x8A\xF9\x82\xC9(%s)\x82\xC5\x83I\x81[\x83v\x83\x93\x92\x86\x82\xC5"
    "\x82\xB7\x81" "B\x82P\x83N\x83\x89\x83X\x93\xE0\x82\xC5\x83I\x81[\x83v\x83\x93\x8Fo\x97\x88"
    "\x82\xE9\x82" "c\x82r\x82\xCD\x82P\x82\xC2\x82\xCC\x82\xDD\x82\xC5\x82\xB7";
constexpr const char kCodeAlreadyOpen[] = "Z9999";

// Meridiem markers: "午前" (AM) and "午後" (PM).
constexpr const char kMarkerGozen[] = "\x8C\xDF\x91O";
constexpr const char kMarkerGogo[] = "\x8C\xDF\x8C\xE3";

}  // namespace jov
