#include "base/result.h"

namespace pv {

const char* ResultMessage(Result code) {
  switch (code) {
    case Result::BadParameter: return "パラメータ異常です。";
    case Result::CannotOpenFile: return "ファイルがオープン出来ませんでした。";
    case Result::BadFileFormat: return "ファイルフォーマットが不正です。";
    case Result::BadByteCount: return "ファイルの読み込みバイト数が異常です。";
    case Result::BadHeader: return "ファイルのヘッダー情報が不正です。";
    case Result::BitmapConversionFailed: return "HBITMAPへの変換に失敗しました。";
    case Result::OutOfMemory: return "メモリ不足による操作未完了です。";
    case Result::BadBitDepth: return "カラー階調が不正です。";
    case Result::NoImage: return "コントロール内のDIB情報が不正です。";
    case Result::NothingToDo: return "処理の必要がありません。";
    case Result::ClipboardOpenFailed: return "クリップボードがオープン出来ませんでした。";
    case Result::ClipboardCopyFailed: return "クリップボードへコピー出来ませんでした。";
    case Result::ClipboardPasteFailed: return "クリップボードからペーストが出来ませんでした。";
    case Result::TooManyLabels: return "ラベリング処理中に規定数(256個)を超えました。";
    default: return nullptr;
  }
}

}  // namespace pv
