// The codes and messages that the data source table records itself, byte for
// byte. The Japanese texts are Windows-31J bytes written as escapes.
#pragma once

namespace jov {

constexpr const char kCodeTooManyOpen[] = "JovJdbcOdbc-01";
constexpr const char kCodeIdOutOfRange[] = "JovJdbcOdbc-02";
constexpr const char kCodeIdFree[] = "JovJdbcOdbc-03";
constexpr const char kCodeIdNotOpen[] = "JovJdbcOdbc-04";

// "(JovJdbcOdbc)同時にオープン可能なデータソースは%dつまでです"
constexpr const char kMsgTooManyOpen[] =
    "(JovJdbcOdbc)\x93\xAF\x8E\x9E\x82\xC9\x83I\x81[\x83v\x83\x93\x89\xC2\x94\x5C\x82\xC8\x83"
    "f\x81[\x83^\x83\x5C\x81[\x83X\x82\xCD%d\x82\xC2\x82\xDC\x82\xC5\x82\xC5\x82\xB7";
// "(JovJdbcOdbc)データベース識別子(%d)は範囲外です"
constexpr const char kMsgIdOutOfRange[] =
    "(JovJdbcOdbc)\x83" "f\x81[\x83^\x83x\x81[\x83X\x8E\xAF\x95\xCA\x8Eq(%d)\x82\xCD\x94\xCD\x88"
    "\xCD\x8AO\x82\xC5\x82\xB7";
// "(JovJdbcOdbc)データベース識別子(%d)はオープンされていません"
constexpr const char kMsgIdNotOpen[] =
    "(JovJdbcOdbc)\x83" "f\x81[\x83^\x83x\x81[\x83X\x8E\xAF\x95\xCA\x8Eq(%d)\x82\xCD\x83I\x81[\x83"
    "v\x83\x93\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
// "JovJdbcOdbc OdbcAccsオブジェクトの生成に失敗しました"; its code is errno.
constexpr const char kMsgCreateFailed[] =
    "JovJdbcOdbc OdbcAccs\x83I\x83u\x83W\x83" "F\x83N\x83g\x82\xCC\x90\xB6\x90\xAC\x82\xC9\x8E\xB8"
    "\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

}  // namespace jov
