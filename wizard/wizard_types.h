#pragma once
// Value types shared by the wizard's logic and its window layer.

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

namespace wizard {

enum TWizardButtonKind : std::uint8_t { bkStart, bkLast, bkBack, bkNext, bkFinish, bkCancel, bkHelp };
inline constexpr int kButtonKindCount = 7;

// A set of button kinds in one byte, bit n for the kind of value n.
class TWizardButtonSet {
public:
    constexpr TWizardButtonSet() = default;
    constexpr TWizardButtonSet(std::initializer_list<TWizardButtonKind> kinds) {
        for (auto kind : kinds) bits_ |= Bit(kind);
    }
    static constexpr TWizardButtonSet FromBits(std::uint8_t bits) {
        TWizardButtonSet set;
        set.bits_ = bits & 0x7F;
        return set;
    }
    static constexpr TWizardButtonSet All() { return FromBits(0x7F); }

    constexpr bool Contains(TWizardButtonKind kind) const { return (bits_ & Bit(kind)) != 0; }
    constexpr TWizardButtonSet With(TWizardButtonKind kind) const { return FromBits(bits_ | Bit(kind)); }
    constexpr TWizardButtonSet Without(TWizardButtonKind kind) const {
        return FromBits(bits_ & ~Bit(kind));
    }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint8_t Bits() const { return bits_; }
    friend constexpr bool operator==(TWizardButtonSet, TWizardButtonSet) = default;

private:
    static constexpr std::uint8_t Bit(TWizardButtonKind kind) {
        return static_cast<std::uint8_t>(1u << kind);
    }
    std::uint8_t bits_ = 0;
};

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    Point TopLeft() const { return {left, top}; }
    Rect Inflated(int by) const { return {left - by, top - by, right + by, bottom + by}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline std::string ToString(const Rect& r) {
    return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " + std::to_string(r.right) +
           ", " + std::to_string(r.bottom) + ")";
}

class EWizardError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace wizard
