#pragma once

#include <cstdint>
#include <initializer_list>

namespace vorn {

// A set of the members of an unscoped enumeration whose values are 0..63, stored as bits
// (member N is bit N), as in TFontStyles or TFilterGridOptions.
template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> Members) {
        for (E Member : Members)
            FBits |= Bit(Member);
    }

    static constexpr TSet FromBits(std::uint64_t Bits) {
        TSet Result;
        Result.FBits = Bits;
        return Result;
    }
    constexpr std::uint64_t Bits() const { return FBits; }

    constexpr bool Contains(E Member) const { return (FBits & Bit(Member)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E Member) { FBits |= Bit(Member); }
    constexpr void Exclude(E Member) { FBits &= ~Bit(Member); }

    constexpr TSet operator+(TSet Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TSet operator-(TSet Other) const { return FromBits(FBits & ~Other.FBits); }
    constexpr TSet operator*(TSet Other) const { return FromBits(FBits & Other.FBits); }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t Bit(E Member) {
        return std::uint64_t{1} << static_cast<unsigned>(Member);
    }
    std::uint64_t FBits = 0;
};

} // namespace vorn
