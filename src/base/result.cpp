#include "base/result.h"

namespace pv {

// 1 to 14 with the message the user is shown, the others with what they mean.
const std::vector<ResultText>& ResultTable() {
  static const std::vector<ResultText> table = {
      {Result::Ok, nullptr, "success"},
      {Result::BadParameter, "パラメータ異常です。", nullptr},
      {Result::CannotOpenFile, "ファイルがオープン出来ませんでした。", nullptr},
      {Result::BadFileFormat, "ファイルフォーマットが不正です。", nullptr},
      {Result::BadByteCount, "ファイルの読み込みバイト数が異常です。", nullptr},
      {Result::BadHeader, "ファイルのヘッダー情報が不正です。", nullptr},
      {Result::BitmapConversionFailed, "HBITMAPへの変換に失敗しました。", nullptr},
      {Result::OutOfMemory, "メモリ不足による操作未完了です。", nullptr},
      {Result::BadBitDepth, "カラー階調が不正です。", nullptr},
      {Result::NoImage, "コントロール内のDIB情報が不正です。", nullptr},
      {Result::NothingToDo, "処理の必要がありません。", nullptr},
      {Result::ClipboardOpenFailed, "クリップボードがオープン出来ませんでした。", nullptr},
      {Result::ClipboardCopyFailed, "クリップボードへコピー出来ませんでした。", nullptr},
      {Result::ClipboardPasteFailed, "クリップボードからペーストが出来ませんでした。", nullptr},
      {Result::TooManyLabels, "ラベリング処理中に規定数(256個)を超えました。", nullptr},
      {Result::Cancelled, nullptr, "the user cancelled the dialog"},
      {Result::NoPlugins, nullptr, "no plugins are loaded, or none has that file name"},
      {Result::PluginEntryMissing, nullptr, "the plugin does not export PVP_OnExecute"},
      {Result::PluginDisabled, nullptr, "the plugin is disabled"},
      {Result::TooManyColours, nullptr, "the picture has more colours than the target depth holds"},
  };
  return table;
}

const ResultText* FindResult(int32_t code) {
  for (const ResultText& row : ResultTable())
    if (ResultValue(row.code) == code) return &row;
  return nullptr;
}

const char* ResultMessage(Result code) {
  const ResultText* row = FindResult(ResultValue(code));
  return row ? row->message : nullptr;
}

std::string ResultMeaning(int32_t code) {
  const ResultText* row = FindResult(code);
  if (!row) return "not a Result code of this control";
  return row->message ? row->message : row->meaning;
}

}  // namespace pv
