// The table of the program's own shared texts, by resource number.
#include "resources/texts.h"

#include <array>
#include <string_view>

namespace {

struct ResourceEntry {
    int Id;
    std::u16string_view Text;
};

constexpr std::array<ResourceEntry, 13> Entries = {{
    {Res::ErrorWord, u"エラー"},
    {Res::LeftoverValues,
     u"処理できないデータが残りました。\r\n演算子や配列，関数の引数などの使い方の誤りが考えられます。"},
    {Res::CurrentPath, u"現在のパスは "},
    {Res::RunStopped, u"実行中断しました"},
    {Res::CaptionStopped, u"Lorvex 実行画面（中断）"},
    {Res::LineInputCaption, u"Lorvex 文字列行入力"},
    {Res::InputRetrySuffix, u": 再入力"},
    {Res::InputWaitingSuffix, u": 入力中>"},
    {Res::CaptionPreparing, u"Lorvex 実行画面（準備中）"},
    {Res::InputCaption, u"Lorvex データ入力"},
    {Res::CaptionRunning, u"Lorvex 実行画面（実行中）"},
    {Res::CaptionStopMode, u"Lorvex 実行画面（中断）"},
    {Res::CaptionEnded, u"Lorvex 実行画面（入力可）"},
}};

} // namespace

QString ResourceText(int id) {
    for (const ResourceEntry& entry : Entries)
        if (entry.Id == id)
            return QString::fromRawData(reinterpret_cast<const QChar*>(entry.Text.data()),
                                        static_cast<qsizetype>(entry.Text.size()));
    return QString();
}
