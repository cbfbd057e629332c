// Text encodings: round trips in every encoding, known byte forms, substitution, pieces of streams,
// UTF-32, detection from realistic samples and byte-order marks, names and code pages, whole files
// and normalisation.
#include "core/encodedetect.h"
#include "tests/testsupport.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <initializer_list>

namespace {

QString Q(const char16_t* s) {
    return QString::fromUtf16(s);
}

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// A program as users write them: Japanese names, strings and comments between ASCII.
const char16_t* const JapaneseProgram = u"' 売上集計プログラム\r\n"
                                        u"DIM 合計 AS REAL\r\n"
                                        u"合計 = 0\r\n"
                                        u"FOR i = 1 TO 10\r\n"
                                        u"  PRINT \"データ\"; i; \"件目を読み込みます。\"\r\n"
                                        u"  合計 = 合計 + i\r\n"
                                        u"NEXT i\r\n"
                                        u"PRINT \"合計は\"; 合計; \"です。\"\r\n";

// Characters outside the Basic Multilingual Plane, which UTF-16 holds as surrogate pairs.
const char16_t* const Supplementary = u"𠮷野家で😀を食べる";

class EncodingIndexes : public ::testing::TestWithParam<int> {};

TEST_P(EncodingIndexes, JapaneseTextAndLineEndsSurviveARoundTrip) {
    const auto encoding = EncodingFromIndex(GetParam());
    const QString text = Q(JapaneseProgram) + Q(u"LF only\nCR only\rend");
    const QByteArray bytes = encoding->GetBytes(text);
    EXPECT_EQ(encoding->GetString(bytes), text);
}

TEST_P(EncodingIndexes, ADecoderFedOneByteAtATimeGivesTheWholeText) {
    const auto encoding = EncodingFromIndex(GetParam());
    const QString text = Q(JapaneseProgram);
    const QByteArray bytes = encoding->GetPreamble() + encoding->GetBytes(text);
    auto decoder = encoding->NewDecoder(true);
    QString pieces;
    for (char byte : bytes)
        pieces += decoder->Decode(QByteArrayView(&byte, 1), false);
    pieces += decoder->Decode({}, true);
    EXPECT_EQ(pieces, text);
}

TEST_P(EncodingIndexes, AnEncoderFedOneUnitAtATimeGivesTheWholeBytes) {
    const auto encoding = EncodingFromIndex(GetParam());
    const QString text = Q(JapaneseProgram) + Q(u"ｶﾞｯｺｳ ﾊﾟﾝ ｳﾞ");
    auto encoder = encoding->NewEncoder();
    QByteArray pieces;
    for (qsizetype i = 0; i < text.size(); ++i)
        pieces += encoder->Encode(QStringView(text).sliced(i, 1), false);
    pieces += encoder->Encode({}, true);
    EXPECT_EQ(pieces, encoding->GetBytes(text));
}

TEST_P(EncodingIndexes, FilesWrittenInAnEncodingAreDetectedAndReadBack) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("prog.lxt"));
    const QString text = Q(JapaneseProgram);
    ASSERT_TRUE(WriteTextFile(path, *EncodingFromIndex(GetParam()), text));
    QString name;
    ASSERT_TRUE(GetFileEncodingName(path, name));
    EXPECT_EQ(name, EncodingIndexName(GetParam()));
    QString read;
    int detected = -2;
    ASSERT_TRUE(ReadTextFileDetected(path, read, &detected));
    EXPECT_EQ(detected, GetParam());
    EXPECT_EQ(read, text);
}

TEST_P(EncodingIndexes, TheNameOfAnIndexGivesTheSameEncoding) {
    const int index = GetParam();
    const auto byIndex = EncodingFromIndex(index);
    const auto byName = EncodingFromName(EncodingIndexName(index));
    const QString text = Q(JapaneseProgram);
    EXPECT_EQ(byName->CodePage(), byIndex->CodePage());
    EXPECT_EQ(byName->GetPreamble(), byIndex->GetPreamble());
    EXPECT_EQ(byName->GetBytes(text), byIndex->GetBytes(text));
}

INSTANTIATE_TEST_SUITE_P(AllDetectable, EncodingIndexes, ::testing::Range(0, EncodingIndex::Count),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return TestName(EncodingIndexName(info.param));
                         });

TEST(EncodingRoundTrip, UnicodeFormsKeepSurrogatePairs) {
    for (int index : {EncodingIndex::Unicode, EncodingIndex::BigEndianUnicode, EncodingIndex::UTF8,
                      EncodingIndex::UTF8BOM, EncodingIndex::UTF32LE, EncodingIndex::UTF32BE}) {
        const auto encoding = EncodingFromIndex(index);
        const QString text = Q(Supplementary);
        EXPECT_EQ(encoding->GetString(encoding->GetBytes(text)), text) << index;
        EXPECT_EQ(DecodeSkippingPreamble(*encoding, encoding->GetPreamble() + encoding->GetBytes(text)),
                  text);
    }
}

TEST(EncodingRoundTrip, ShiftJisAndEucKeepHalfWidthKatakana) {
    const QString kana = Q(u"ｶﾞｯｺｳ ﾊﾟﾝ｡ｰ");
    for (int index : {EncodingIndex::SJIS, EncodingIndex::EUC}) {
        const auto encoding = EncodingFromIndex(index);
        EXPECT_EQ(encoding->GetString(encoding->GetBytes(kana)), kana) << index;
    }
}

TEST(EncodingRoundTrip, IsoJisWidensHalfWidthKatakanaWithTheirVoicedMarks) {
    const auto jis = EncodingFromIndex(EncodingIndex::JIS);
    const QByteArray bytes = jis->GetBytes(Q(u"ｶﾞｷﾞﾊﾟﾎﾞｳﾞｯｸｽ ｱﾞﾞ ﾟ｢｣"));
    EXPECT_FALSE(bytes.contains('?'));
    EXPECT_EQ(jis->GetString(bytes), Q(u"ガギパボヴックス ア゛゛ ゜「」"));
}

TEST(EncodingRoundTrip, IsoJisCombinesAVoicedMarkThatArrivesInTheNextPiece) {
    auto encoder = EncodingFromIndex(EncodingIndex::JIS)->NewEncoder();
    QByteArray bytes = encoder->Encode(Q(u"ｶ"), false);
    bytes += encoder->Encode(Q(u"ﾞ"), true);
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::JIS)->GetString(bytes), Q(u"ガ"));
}

TEST(EncodingRoundTrip, UnicodeSixteenKeepsLoneSurrogates) {
    QString text = QStringLiteral("a");
    text += QChar(char16_t(0xD800));
    text += QStringLiteral("b");
    text += QChar(char16_t(0xDC00));
    for (int index : {EncodingIndex::Unicode, EncodingIndex::BigEndianUnicode}) {
        const auto encoding = EncodingFromIndex(index);
        EXPECT_EQ(encoding->GetString(encoding->GetBytes(text)), text);
    }
}

TEST(EncodingBytes, EachEncodingWritesTheStandardForm) {
    const QString a = Q(u"あA");
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::SJIS)->GetBytes(a), Bytes({0x82, 0xA0, 'A'}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::EUC)->GetBytes(a), Bytes({0xA4, 0xA2, 'A'}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::JIS)->GetBytes(a),
              Bytes({0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'A'}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::Unicode)->GetBytes(a), Bytes({0x42, 0x30, 'A', 0}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::BigEndianUnicode)->GetBytes(a), Bytes({0x30, 0x42, 0, 'A'}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(a), Bytes({0xE3, 0x81, 0x82, 'A'}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF32LE)->GetBytes(Q(u"😀")), Bytes({0x00, 0xF6, 0x01, 0x00}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF32BE)->GetBytes(Q(u"😀")), Bytes({0x00, 0x01, 0xF6, 0x00}));
}

TEST(EncodingBytes, PreamblesBelongToTheUnicodeFormsThatCarryThem) {
    EXPECT_TRUE(EncodingFromIndex(EncodingIndex::SJIS)->GetPreamble().isEmpty());
    EXPECT_TRUE(EncodingFromIndex(EncodingIndex::JIS)->GetPreamble().isEmpty());
    EXPECT_TRUE(EncodingFromIndex(EncodingIndex::UTF8)->GetPreamble().isEmpty());
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF8BOM)->GetPreamble(), Bytes({0xEF, 0xBB, 0xBF}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::Unicode)->GetPreamble(), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::BigEndianUnicode)->GetPreamble(), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF32LE)->GetPreamble(), Bytes({0xFF, 0xFE, 0, 0}));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF32BE)->GetPreamble(), Bytes({0, 0, 0xFE, 0xFF}));
}

TEST(EncodingBytes, BestFitMappingsKeepJapaneseTextMovedBetweenCodePages) {
    // The wave dash and the double vertical line have one code each in Shift-JIS, whichever Unicode
    // form another code page's reading gave them.
    const auto sjis = EncodingFromIndex(EncodingIndex::SJIS);
    EXPECT_EQ(sjis->GetBytes(Q(u"\u301C\uFF5E")), Bytes({0x81, 0x60, 0x81, 0x60}));
    EXPECT_EQ(sjis->GetBytes(Q(u"\u2016\u2225")), Bytes({0x81, 0x61, 0x81, 0x61}));
    const auto euc = EncodingFromIndex(EncodingIndex::EUC);
    EXPECT_EQ(sjis->GetBytes(euc->GetString(euc->GetBytes(Q(u"〜①")))), sjis->GetBytes(Q(u"〜①")));
}

TEST(EncodingSubstitution, CharactersACodePageLacksBecomeQuestionMarks) {
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::SJIS)->GetBytes(Q(u"a한b")), QByteArray("a?b"));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::EUC)->GetBytes(Q(u"😀")), QByteArray("?"));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::JIS)->GetBytes(Q(u"x한")), QByteArray("x?"));
    EXPECT_EQ(EncodingFromName(QStringLiteral("ASCII"))->GetBytes(Q(u"café")), QByteArray("caf?"));
}

TEST(EncodingSubstitution, LoneSurrogatesBecomeQuestionMarksInUtf8) {
    QString text = QStringLiteral("a");
    text += QChar(char16_t(0xDC00));
    text += QStringLiteral("b");
    text += QChar(char16_t(0xD800));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(text), QByteArray("a?b?"));
}

TEST(EncodingSubstitution, BytesThatAreNotValidAreReadAsQuestionMarks) {
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::SJIS)->GetString(Bytes({'a', 0x80, 'b', 0xFD, 'c'})),
              QStringLiteral("a?b?c"));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF8)->GetString(Bytes({'a', 0xFF, 'b'})),
              QStringLiteral("a?b"));
    // A character cut by the end of the file.
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::SJIS)->GetString(Bytes({'a', 0x82})), QStringLiteral("a?"));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::Unicode)->GetString(Bytes({'a', 0, 'b'})),
              QStringLiteral("a?"));
    EXPECT_EQ(EncodingFromIndex(EncodingIndex::UTF32LE)->GetString(Bytes({'a', 0, 0, 0, 'b', 0})),
              QStringLiteral("a?"));
}

TEST(EncodingStreams, APreambleSplitOverPiecesIsSkippedOnlyAtTheStart) {
    const auto utf8 = EncodingFromIndex(EncodingIndex::UTF8BOM);
    auto decoder = utf8->NewDecoder(true);
    QString text = decoder->Decode(Bytes({0xEF}), false);
    text += decoder->Decode(Bytes({0xBB, 0xBF, 'A', 0xEF, 0xBB, 0xBF}), false);
    text += decoder->Decode(Bytes({'B'}), true);
    EXPECT_EQ(text, Q(u"A\uFEFFB"));
    // The decoder is ready for a new stream, which is checked for its preamble again.
    EXPECT_EQ(decoder->Decode(Bytes({0xEF, 0xBB, 0xBF, 'C'}), true), QStringLiteral("C"));
}

TEST(EncodingStreams, BytesThatOnlyBeginLikeAPreambleAreKept) {
    const auto utf16 = EncodingFromIndex(EncodingIndex::Unicode);
    auto decoder = utf16->NewDecoder(true);
    QString text = decoder->Decode(Bytes({0xFF}), false);
    text += decoder->Decode(Bytes({0x00, 'A', 0x00}), true);
    EXPECT_EQ(text, Q(u"\u00FFA"));
    EXPECT_EQ(utf16->GetString(Bytes({0xFF, 0xFE, 'A', 0})), QChar(0xFEFF) + QStringLiteral("A"))
        << "GetString keeps a mark";
}

TEST(EncodingStreams, IsoJisKeepsItsShiftStateBetweenPieces) {
    const auto jis = EncodingFromIndex(EncodingIndex::JIS);
    const QByteArray bytes = jis->GetBytes(Q(u"漢字とかな\r\nASCII 行\r\n"));
    auto decoder = jis->NewDecoder();
    const qsizetype half = bytes.size() / 2;
    QString text = decoder->Decode(QByteArrayView(bytes).first(half), false);
    text += decoder->Decode(QByteArrayView(bytes).sliced(half), true);
    EXPECT_EQ(text, Q(u"漢字とかな\r\nASCII 行\r\n"));
}

TEST(EncodingStreams, ASurrogatePairSplitBetweenPiecesIsEncodedWhole) {
    for (int index : {EncodingIndex::UTF8, EncodingIndex::UTF32LE, EncodingIndex::Unicode}) {
        const auto encoding = EncodingFromIndex(index);
        const QString text = Q(u"😀");
        auto encoder = encoding->NewEncoder();
        QByteArray bytes = encoder->Encode(QStringView(text).first(1), false);
        bytes += encoder->Encode(QStringView(), false);
        bytes += encoder->Encode(QStringView(text).sliced(1), true);
        EXPECT_EQ(bytes, encoding->GetBytes(text)) << index;
    }
}

TEST(EncodingStreams, Utf8TextInAnySplitDecodesAsAWhole) {
    // ASCII between multi-byte characters, a sequence cut by ASCII, a byte that begins none, a
    // four-byte character, and a sequence cut by the end.
    const QByteArray bytes = Bytes({'a', 'b', 0xE3, 0x81, 0x82, 'c', 0xE3, 0x81, 'd', 0xFF, 'e', 0xF0, 0x9F,
                                    0x98, 0x80, 'f', 'g', 0xE3, 0x81});
    const QString whole = Q(u"abあc?d?e😀fg?");
    const auto utf8 = EncodingFromIndex(EncodingIndex::UTF8);
    EXPECT_EQ(utf8->GetString(bytes), whole);
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        auto decoder = utf8->NewDecoder();
        QString text = decoder->Decode(QByteArrayView(bytes).first(cut), false);
        text += decoder->Decode(QByteArrayView(bytes).sliced(cut), true);
        EXPECT_EQ(text, whole) << cut;
    }
    auto decoder = utf8->NewDecoder();
    QString text;
    for (const char byte : bytes)
        decoder->DecodeAppend(QByteArrayView(&byte, 1), false, text);
    decoder->DecodeAppend(QByteArrayView(), true, text);
    EXPECT_EQ(text, whole);
}

TEST(EncodingStreams, AHighSurrogateWaitingForItsPartnerIsNotPassedByAsciiAfterIt) {
    const auto utf8 = EncodingFromIndex(EncodingIndex::UTF8);
    const QString text = QChar(char16_t(0xD83D)) + QStringLiteral("b");
    auto encoder = utf8->NewEncoder();
    QByteArray bytes = encoder->Encode(QStringView(text).first(1), false);
    bytes += encoder->Encode(QStringView(), false);
    bytes += encoder->Encode(QStringView(text).sliced(1), true);
    EXPECT_EQ(bytes, utf8->GetBytes(text));
    EXPECT_EQ(bytes, QByteArray("?b"));
}

TEST(EncodingStreams, IsoJisReadsHalfWidthKanaAndJisX0212Escapes) {
    const auto jis = EncodingFromIndex(EncodingIndex::JIS);
    // ESC ( I: half-width katakana; ESC $ ( D: JIS X 0212; SO/SI: katakana shift.
    const QByteArray bytes("\x1b(I\x36\x1b(B-\x1b$(D\x2b\x31\x1b(B-\x0e\x31\x0f"
                           "A");
    EXPECT_EQ(jis->GetString(bytes), Q(u"ｶ-é-ｱA"));
}

TEST(Ucs4Encoding, WritesEachCodePointAsFourBytesAndNothingMore) {
    TUCS4Encoding le(false, false);
    QString text = Q(u"a😀");
    text += QChar(char16_t(0xDC01)); // a lone low surrogate has no code point and is left out
    text += QStringLiteral("b");
    const QByteArray bytes = le.GetBytes(text);
    EXPECT_EQ(bytes, Bytes({'a', 0, 0, 0, 0x00, 0xF6, 0x01, 0x00, 'b', 0, 0, 0}));
    EXPECT_EQ(le.GetByteCount(text), bytes.size());
}

TEST(Ucs4Encoding, AHighSurrogateWithoutItsPartnerIsLeftOutAndTheNextCharacterKept) {
    TUCS4Encoding be(true, false);
    QString text;
    text += QChar(char16_t(0xD83D));
    text += QStringLiteral("x");
    text += QChar(char16_t(0xD83D)); // the very last unit
    EXPECT_EQ(be.GetBytes(text), Bytes({0, 0, 0, 'x'}));
    EXPECT_EQ(be.GetByteCount(text), 4);
}

TEST(Ucs4Encoding, DecodingMakesSurrogatePairsAndMarksValuesBeyondUnicode) {
    TUCS4Encoding le(false, false);
    const QByteArray bytes = Bytes({0x00, 0xF6, 0x01, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0xD8, 0x00, 0x00});
    QString expected = Q(u"😀?");
    expected += QChar(char16_t(0xD800)); // a surrogate value comes back as that unit
    EXPECT_EQ(le.GetString(bytes), expected);
    EXPECT_EQ(le.GetCharCount(bytes), expected.size());
    EXPECT_GE(le.GetMaxCharCount(bytes.size()), expected.size());
}

TEST(Ucs4Encoding, ConstructorsAndSizeLimits) {
    TUCS4Encoding plain;
    EXPECT_FALSE(plain.BigEndian());
    EXPECT_TRUE(plain.UseBOM());
    EXPECT_TRUE(TUCS4Encoding(true).UseBOM());
    EXPECT_TRUE(TUCS4Encoding(true).BigEndian());
    EXPECT_TRUE(TUCS4Encoding(true, false).GetPreamble().isEmpty());
    EXPECT_EQ(plain.GetMaxByteCount(3), 16);
    EXPECT_EQ(TUCS4Encoding(false, false).GetMaxByteCount(3), 12);
    // Each four bytes may be a supplementary character, which takes two UTF-16 units.
    EXPECT_EQ(TUCS4Encoding(false, false).GetMaxCharCount(8), 4);
    const auto clone = TUCS4Encoding(true, false).Clone();
    EXPECT_EQ(clone->GetBytes(Q(u"A")), Bytes({0, 0, 0, 'A'}));
    EXPECT_TRUE(clone->GetPreamble().isEmpty());
}

QByteArray Ascii(const char* s) {
    return QByteArray(s);
}

TEST(EncodingDetection, EmptyAndPureAsciiSamplesAreUndetermined) {
    EXPECT_EQ(DetectEncoding(QByteArray()), EncodingIndex::Default);
    EXPECT_EQ(DetectEncoding(Ascii("PRINT \"Hello\"\r\nEND\r\n")), EncodingIndex::Default);
}

TEST(EncodingDetection, ByteOrderMarks) {
    EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE, 0, 0})), EncodingIndex::UTF32LE);
    EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE, 0, 0, 'A', 0, 0, 0})), EncodingIndex::UTF32LE);
    EXPECT_EQ(DetectEncoding(Bytes({0, 0, 0xFE, 0xFF})), EncodingIndex::UTF32BE);
    EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE, 0x41, 0})), EncodingIndex::Unicode);
    EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE})), EncodingIndex::Unicode);
    EXPECT_EQ(DetectEncoding(Bytes({0xFF, 0xFE, 0})), EncodingIndex::Unicode);
    EXPECT_EQ(DetectEncoding(Bytes({0xFE, 0xFF, 0, 0x41})), EncodingIndex::BigEndianUnicode);
    EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB, 0xBF})), EncodingIndex::UTF8BOM);
    EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB, 0xBF, 'A'})), EncodingIndex::UTF8BOM);
    EXPECT_EQ(DetectEncoding(Bytes({0xEF, 0xBB})), EncodingIndex::Default);
    EXPECT_NE(DetectEncoding(Bytes({0xFF, 0xFE, 0x41, 0}), DetectFlag::NoBom), EncodingIndex::Unicode);
}

TEST(EncodingDetection, RealisticSamplesOfEachJapaneseEncoding) {
    const QString program = Q(JapaneseProgram);
    EXPECT_EQ(DetectEncoding(EncodingFromIndex(EncodingIndex::SJIS)->GetBytes(program)), EncodingIndex::SJIS);
    EXPECT_EQ(DetectEncoding(EncodingFromIndex(EncodingIndex::EUC)->GetBytes(program)), EncodingIndex::EUC);
    EXPECT_EQ(DetectEncoding(EncodingFromIndex(EncodingIndex::JIS)->GetBytes(program)), EncodingIndex::JIS);
    EXPECT_EQ(DetectEncoding(EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(program)), EncodingIndex::UTF8);
    // Half-width katakana alone are 8E-led pairs in EUC-JP, and 8E B6 is just as well a Shift-JIS
    // pair: equal evidence decides nothing.
    EXPECT_EQ(DetectEncoding(EncodingFromIndex(EncodingIndex::EUC)->GetBytes(Q(u"ｶﾀｶﾅ"))),
              EncodingIndex::Default);
}

TEST(EncodingDetection, ASwitchedOffTestNeverWins) {
    const QByteArray sjis = EncodingFromIndex(EncodingIndex::SJIS)->GetBytes(Q(JapaneseProgram));
    EXPECT_EQ(DetectEncoding(sjis, DetectFlag::NoShiftJis), EncodingIndex::Default);
    const QByteArray utf8 = EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(Q(JapaneseProgram));
    EXPECT_EQ(DetectEncoding(utf8, DetectFlag::NoUtf8), EncodingIndex::Default);
    const QByteArray jis = EncodingFromIndex(EncodingIndex::JIS)->GetBytes(Q(JapaneseProgram));
    EXPECT_NE(DetectEncoding(jis, DetectFlag::NoJisEscape), EncodingIndex::JIS);
}

TEST(EncodingDetection, BytesValidInShiftJisAndEucAreDecidedByTheLargerCount) {
    // E0 A1 is a pair in both; B1 B2 are two half-width kana in Shift-JIS but one pair in EUC-JP.
    EXPECT_EQ(DetectEncoding(Bytes({'a', 0xE0, 0xA1, 0xB1, 0xB2})), EncodingIndex::EUC);
    // Equal counts decide nothing.
    EXPECT_EQ(DetectEncoding(Bytes({'a', 0xE0, 0xA1, 'b'})), EncodingIndex::Default);
    // A Shift-JIS lead byte as the very last byte is accepted, but it is no evidence: the tie stays.
    EXPECT_EQ(DetectEncoding(Bytes({0x82, 0xA0, 0x82})), EncodingIndex::SJIS);
    EXPECT_EQ(DetectEncoding(Bytes({'a', 0xE0, 0xA1, 'b', 0x82})), EncodingIndex::Default);
}

TEST(EncodingDetection, AnEscapeSequenceMarksJisOnlyBeforeTheFirstHighByte) {
    EXPECT_EQ(DetectEncoding(Ascii("REM \x1b$B$\"\x1b(B ok") + Bytes({0x82, 0xA0})), EncodingIndex::JIS);
    EXPECT_NE(DetectEncoding(Bytes({0x82, 0xA0}) + Ascii("\x1b$B$\"\x1b(B")), EncodingIndex::JIS);
    for (const char* escape : {"\x1b(B", "\x1b(J", "\x1b(I", "\x1b$@", "\x1b$B", "\x1b$(D", "\x1b&@\x1b$B"})
        EXPECT_EQ(DetectEncoding(Ascii("abc") + Ascii(escape)), EncodingIndex::JIS) << escape + 1;
    // Cut by the end of the sample.
    EXPECT_EQ(DetectEncoding(Ascii("abc\x1b(")), EncodingIndex::Default);
    EXPECT_EQ(DetectEncoding(Ascii("abc\x1b$(")), EncodingIndex::Default);
    EXPECT_EQ(DetectEncoding(Ascii("\x1b(X")), EncodingIndex::Default);
}

TEST(EncodingDetection, AUtf8CharacterCutByTheEndOfTheSample) {
    const QByteArray start = EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(Q(u"' 日本語のコメント\r\n"));
    EXPECT_EQ(DetectEncoding(start + Bytes({0xE3})), EncodingIndex::UTF8);
    EXPECT_EQ(DetectEncoding(start + Bytes({0xE3, 0x81})), EncodingIndex::Default);
    EXPECT_EQ(DetectEncoding(start + Bytes({0xF0, 0x9F, 0x98})), EncodingIndex::Default);
}

TEST(EncodingDetection, EucJisX0212CutByTheEndOfTheSample) {
    const QByteArray start = EncodingFromIndex(EncodingIndex::EUC)->GetBytes(Q(u"漢字 "));
    EXPECT_EQ(DetectEncoding(start + Bytes({0x8F, 0xA2})), EncodingIndex::EUC);
    EXPECT_EQ(DetectEncoding(start + Bytes({0x8F, 0x41})), EncodingIndex::Default);
}

class EncodingDetectionFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Write(const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("sample.dat"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }
    QString NameOf(const QByteArray& bytes) {
        QString name;
        EXPECT_TRUE(GetFileEncodingName(Write(bytes), name));
        return name;
    }
    QTemporaryDir dir;
};

TEST_F(EncodingDetectionFiles, NamesOfEmptyAsciiAndMarkedFiles) {
    EXPECT_EQ(NameOf(QByteArray()), QStringLiteral("Default"));
    EXPECT_EQ(NameOf(Ascii("10 PRINT 1\r\n")), QStringLiteral("Default"));
    EXPECT_EQ(NameOf(Bytes({0xFF, 0xFE, 0, 0, 'A', 0, 0, 0})), QStringLiteral("UTF-32LE"));
    EXPECT_EQ(NameOf(Bytes({0xFF, 0xFE, 0x41, 0})), QStringLiteral("Unicode"));
    EXPECT_EQ(NameOf(Bytes({0xFE, 0xFF, 0, 0x41})), QStringLiteral("Big Endian Unicode"));
}

TEST_F(EncodingDetectionFiles, OnlyTheFirst1024BytesAreJudged) {
    // A UTF-8 file whose 1024th byte is the lead of a three-byte character is UTF-8; when the first
    // 1024 bytes end after that lead and one continuation byte, it is not.
    const QByteArray head = EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(Q(u"' 日本語のコメント\r\n"));
    const QByteArray tail = EncodingFromIndex(EncodingIndex::UTF8)->GetBytes(Q(u"あいう\r\n"));
    EXPECT_EQ(NameOf(head + QByteArray(1023 - head.size(), 'x') + tail), QStringLiteral("UTF-8"));
    EXPECT_EQ(NameOf(head + QByteArray(1022 - head.size(), 'x') + tail), QStringLiteral("Default"));
    // Japanese text after the first 1024 bytes does not count.
    EXPECT_EQ(NameOf(QByteArray(1024, 'x') + tail), QStringLiteral("Default"));
}

TEST_F(EncodingDetectionFiles, AFileThatCannotBeOpenedIsReported) {
    QString name = QStringLiteral("unchanged");
    EXPECT_FALSE(GetFileEncodingName(dir.filePath(QStringLiteral("missing.lxt")), name));
    EXPECT_EQ(name, QStringLiteral("unchanged"));
    EXPECT_EQ(GetFileEncoding(dir.filePath(QStringLiteral("missing.lxt"))), nullptr);
    EXPECT_FALSE(GetFileEncodingIndex(dir.path()).has_value()) << "a folder is not a file";
}

TEST_F(EncodingDetectionFiles, GetFileEncodingReadsTheFileItDetected) {
    const QString path = Write(EncodingFromIndex(EncodingIndex::EUC)->GetBytes(Q(JapaneseProgram)));
    const auto encoding = GetFileEncoding(path);
    ASSERT_NE(encoding, nullptr);
    QString text;
    ASSERT_TRUE(ReadTextFile(path, *encoding, text));
    EXPECT_EQ(text, Q(JapaneseProgram));
}

TEST(EncodingDetectionStream, ReadsUpToTheLimitFromTheStartAndStopsThere) {
    QByteArray data = QByteArray(10, 'x') + EncodingFromIndex(EncodingIndex::SJIS)->GetBytes(Q(u"日本語"));
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(5);
    EXPECT_EQ(DetectEncodingStream(buffer, 10), EncodingIndex::Default);
    EXPECT_EQ(buffer.pos(), 10);
    EXPECT_EQ(DetectEncodingStream(buffer, 0), EncodingIndex::SJIS);
    EXPECT_EQ(buffer.pos(), data.size());
    EXPECT_EQ(DetectEncodingStream(buffer, data.size() + 100), EncodingIndex::SJIS);
    QByteArray empty;
    QBuffer none(&empty);
    ASSERT_TRUE(none.open(QIODevice::ReadOnly));
    EXPECT_EQ(DetectEncodingStream(none, DetectSampleSize), EncodingIndex::Default);
}

TEST(EncodingNames, IndexesOutsideTheTableAreDefault) {
    EXPECT_EQ(EncodingIndexName(EncodingIndex::Default), QStringLiteral("Default"));
    EXPECT_EQ(EncodingIndexName(EncodingIndex::Count), QStringLiteral("Default"));
    EXPECT_EQ(EncodingIndexName(EncodingIndex::BigEndianUnicode), QStringLiteral("Big Endian Unicode"));
    EXPECT_EQ(EncodingFromIndex(-1)->CodePage(), NewSystemEncoding()->CodePage());
    EXPECT_EQ(EncodingFromIndex(42)->GetBytes(Q(u"é")), NewSystemEncoding()->GetBytes(Q(u"é")));
}

TEST(EncodingNames, NamesAreExactAndUnknownNamesGiveTheSystemCharset) {
    const auto system = NewSystemEncoding();
    for (const char* name : {"UnSaved", "sjis", "Utf-8", "", "Default"}) {
        const auto encoding = EncodingFromName(QString::fromLatin1(name));
        EXPECT_EQ(encoding->CodePage(), system->CodePage()) << name;
        EXPECT_EQ(encoding->GetPreamble(), system->GetPreamble()) << name;
        EXPECT_EQ(encoding->GetBytes(Q(u"あ")), system->GetBytes(Q(u"あ"))) << name;
    }
    EXPECT_EQ(EncodingFromName(QStringLiteral("ASCII"))->CodePage(), CodePage::Ascii);
}

TEST(EncodingNames, AUtf32FileSavedUnderItsDetectedNameStaysUtf32) {
    const auto le = EncodingFromName(QStringLiteral("UTF-32LE"));
    EXPECT_EQ(le->GetPreamble(), Bytes({0xFF, 0xFE, 0, 0}));
    EXPECT_EQ(le->GetBytes(Q(u"A")), Bytes({'A', 0, 0, 0}));
    EXPECT_EQ(EncodingFromName(QStringLiteral("UTF-32BE"))->GetPreamble(), Bytes({0, 0, 0xFE, 0xFF}));
}

TEST(EncodingCodePages, NumbersOfSetEncodingAndTheFileFunctions) {
    EXPECT_EQ(EncodingFromCodePage(1200)->GetPreamble(), Bytes({0xFF, 0xFE}));
    EXPECT_EQ(EncodingFromCodePage(1201)->GetPreamble(), Bytes({0xFE, 0xFF}));
    EXPECT_EQ(EncodingFromCodePage(1201)->GetBytes(Q(u"A")), Bytes({0, 'A'}));
    EXPECT_TRUE(EncodingFromCodePage(65001)->GetPreamble().isEmpty());
    EXPECT_EQ(EncodingFromCodePage(932)->GetBytes(Q(u"あ")), Bytes({0x82, 0xA0}));
    EXPECT_EQ(EncodingFromCodePage(20932)->GetBytes(Q(u"あ")), Bytes({0xA4, 0xA2}));
    EXPECT_EQ(EncodingFromCodePage(50220)->GetBytes(Q(u"ｱ")),
              Bytes({0x1B, '$', 'B', 0x25, 0x22, 0x1B, '(', 'B'}));
    EXPECT_EQ(EncodingFromCodePage(1252)->GetBytes(Q(u"é€")), Bytes({0xE9, 0x80}));
    EXPECT_EQ(EncodingFromCodePage(437)->GetBytes(Q(u"é")), Bytes({0x82}));
    EXPECT_EQ(EncodingFromCodePage(28591)->GetString(Bytes({0xE9})), Q(u"é"));
    EXPECT_EQ(EncodingFromCodePage(12001)->GetBytes(Q(u"A")), Bytes({0, 0, 0, 'A'}));
    EXPECT_EQ(EncodingFromCodePage(0)->GetBytes(Q(u"日本")), NewSystemEncoding()->GetBytes(Q(u"日本")));
}

TEST(EncodingCodePages, NumbersThatNameNoCodePageGiveNothing) {
    EXPECT_EQ(EncodingFromCodePage(12345), nullptr);
    EXPECT_EQ(EncodingFromCodePage(-1), nullptr);
    EXPECT_EQ(EncodingFromCodePage(99999999), nullptr);
}

TEST(EncodingSystemCharset, AsciiAndUnknownLocalesMeanUtf8) {
    EXPECT_EQ(CharsetForCodeset("ANSI_X3.4-1968"), QStringLiteral("UTF-8"));
    EXPECT_EQ(CharsetForCodeset("UTF-8"), QStringLiteral("UTF-8"));
    EXPECT_EQ(CharsetForCodeset("no-such-charset"), QStringLiteral("UTF-8"));
    EXPECT_EQ(CharsetForCodeset(nullptr), QStringLiteral("UTF-8"));
    EXPECT_EQ(CharsetForCodeset(""), QStringLiteral("UTF-8"));
    EXPECT_NE(CharsetForCodeset("EUC-JP"), QStringLiteral("UTF-8"));
    EXPECT_FALSE(SystemCharsetName().isEmpty());
}

class EncodingTextFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path() const { return dir.filePath(QStringLiteral("data.txt")); }
    void WriteRaw(const QByteArray& bytes) {
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QTemporaryDir dir;
};

TEST_F(EncodingTextFiles, LineEndsAreReadAsTheyStand) {
    const QString text = Q(u"一\r\n二\n三\r四\r\n\r\n");
    for (int index :
         {EncodingIndex::SJIS, EncodingIndex::JIS, EncodingIndex::UTF8BOM, EncodingIndex::UTF32BE}) {
        ASSERT_TRUE(WriteTextFile(Path(), *EncodingFromIndex(index), text));
        QString read;
        ASSERT_TRUE(ReadTextFile(Path(), *EncodingFromIndex(index), read));
        EXPECT_EQ(read, text) << index;
    }
}

TEST_F(EncodingTextFiles, AByteOrderMarkChoosesTheEncodingWhenAskedTo) {
    WriteRaw(Bytes({0xFF, 0xFE, 0x42, 0x30, 'A', 0}));
    const auto sjis = EncodingFromIndex(EncodingIndex::SJIS);
    QString text;
    ASSERT_TRUE(ReadTextFile(Path(), *sjis, text, true));
    EXPECT_EQ(text, Q(u"あA"));
    ASSERT_TRUE(ReadTextFile(Path(), *sjis, text, false));
    EXPECT_NE(text, Q(u"あA"));
}

TEST_F(EncodingTextFiles, AUtf8MarkIsSkippedByUtf8WithoutMark) {
    WriteRaw(Bytes({0xEF, 0xBB, 0xBF, 'A'}));
    QString text;
    ASSERT_TRUE(ReadTextFile(Path(), *EncodingFromName(QStringLiteral("UTF-8")), text));
    EXPECT_EQ(text, QStringLiteral("A"));
}

TEST_F(EncodingTextFiles, AFailedWriteLeavesTheOldFileAlone) {
    WriteRaw(QByteArray("old"));
    const QString inMissingFolder = dir.filePath(QStringLiteral("no/such/folder/x.txt"));
    EXPECT_FALSE(WriteTextFile(inMissingFolder, *EncodingFromIndex(EncodingIndex::UTF8), Q(u"new")));
    EXPECT_FALSE(WriteTextFile(dir.path(), *EncodingFromIndex(EncodingIndex::UTF8), Q(u"new")));
    QString text;
    ASSERT_TRUE(ReadTextFile(Path(), *EncodingFromIndex(EncodingIndex::UTF8), text));
    EXPECT_EQ(text, QStringLiteral("old"));
    EXPECT_FALSE(ReadTextFile(inMissingFolder, *EncodingFromIndex(EncodingIndex::UTF8), text));
}

TEST(EncodingNormalisation, TheFourForms) {
    QString out;
    ASSERT_TRUE(NormalizeText(Q(u"か\u3099"), out, NormForm::NFC));
    EXPECT_EQ(out, Q(u"が"));
    ASSERT_TRUE(NormalizeText(Q(u"が"), out, NormForm::NFD));
    EXPECT_EQ(out, Q(u"か\u3099"));
    ASSERT_TRUE(NormalizeText(Q(u"ｶﾞ①ＡＢ"), out, NormForm::NFKC));
    EXPECT_EQ(out, Q(u"ガ1AB"));
    ASSERT_TRUE(NormalizeText(Q(u"ｶﾞ"), out, NormForm::NFKD));
    EXPECT_EQ(out, Q(u"カ\u3099"));
    ASSERT_TRUE(NormalizeText(Q(u"ｶﾞ"), out, NormForm::NFC));
    EXPECT_EQ(out, Q(u"ｶﾞ")) << "NFC leaves compatibility characters alone";
}

TEST(EncodingNormalisation, ALongTextNormalisedInPiecesIsTheWholeTextNormalised) {
    // A unit that starts with a character nothing before it composes with, holding characters that
    // compose, decompose, reorder and expand, and a pair of surrogates: repeated past many pieces, the
    // pieces end at every place inside it, and the text must normalise to the unit's form repeated.
    const QString unit = Q(u"xか\u3099e\u0327\u0301\uFDFA\u1100\u1161\u11A8\U0001D160ｶﾞ");
    constexpr int Repeats = 20000;
    const QString text = unit.repeated(Repeats);
    for (const int form : {NormForm::NFC, NormForm::NFD, NormForm::NFKC, NormForm::NFKD}) {
        SCOPED_TRACE(form);
        QString one;
        QString whole;
        ASSERT_TRUE(NormalizeUnicode(unit, form, one));
        ASSERT_TRUE(NormalizeUnicode(text, form, whole));
        EXPECT_TRUE(whole == one.repeated(Repeats));
    }
    // The check between pieces can end the work; nothing of it is kept.
    QString out;
    EXPECT_FALSE(NormalizeUnicode(text, NormForm::NFKD, out, [](std::size_t) { return false; }));
    EXPECT_TRUE(out.isEmpty());
}

TEST(EncodingNormalisation, EmptyTextsOtherFormsAndUnusualContent) {
    QString out = QStringLiteral("stale");
    EXPECT_TRUE(NormalizeText(QString(), out, NormForm::NFC));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(NormalizeText(QString(), out, 0)) << "an empty text succeeds whatever the form";
    out = QStringLiteral("stale");
    EXPECT_FALSE(NormalizeText(QStringLiteral("abc"), out, 0));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(NormalizeText(QStringLiteral("abc"), out, 3));
    // Text after a NUL character and characters beyond the BMP are kept.
    QString withNul = QStringLiteral("a");
    withNul += QChar(u'\0');
    withNul += Q(u"e\u0301😀");
    ASSERT_TRUE(NormalizeText(withNul, out, NormForm::NFC));
    QString expected = QStringLiteral("a");
    expected += QChar(u'\0');
    expected += Q(u"é😀");
    EXPECT_EQ(out, expected);
}

} // namespace
