// Reading a fuzzer's bytes as the values a target needs: whole numbers, texts and 80-bit numbers, so
// that every target takes its input apart the same way and a finding replays as the same values.
#pragma once

#include "core/sharedstate.h"

#include <QByteArrayView>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    // The bytes up to the next 0 (or the end), read as UTF-8: the way a test author would write them.
    QString Text() {
        const std::size_t start = at_;
        while (at_ < size_ && data_[at_] != 0)
            ++at_;
        const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data_ + start),
                                               static_cast<qsizetype>(at_ - start));
        if (at_ < size_) ++at_;
        return text;
    }

    // Everything not read yet.
    QByteArrayView Rest() {
        const QByteArrayView rest(data_ + at_, static_cast<qsizetype>(size_ - at_));
        at_ = size_;
        return rest;
    }

    // Ten bytes as an x87 number of any class the arithmetic can make: zeros, denormals, normals,
    // infinities and NaNs. The explicit integer bit is set from the exponent so that no unnormal
    // encoding (which no operation produces) reaches the code under test.
    Extended Number() {
        unsigned char bytes[sizeof(Extended)] = {};
        for (std::size_t i = 0; i < NumberBytes; ++i)
            bytes[i] = Byte();
        std::uint64_t mantissa;
        std::uint16_t signExponent;
        std::memcpy(&mantissa, bytes, sizeof mantissa);
        std::memcpy(&signExponent, bytes + sizeof mantissa, sizeof signExponent);
        constexpr std::uint64_t IntegerBit = std::uint64_t{1} << 63;
        constexpr std::uint16_t ExponentMask = 0x7FFF;
        if ((signExponent & ExponentMask) == 0) {
            mantissa &= ~IntegerBit;
        } else {
            mantissa |= IntegerBit;
        }
        std::memcpy(bytes, &mantissa, sizeof mantissa);
        std::memcpy(bytes + sizeof mantissa, &signExponent, sizeof signExponent);
        Extended value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    static constexpr std::size_t NumberBytes = 10;
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};
