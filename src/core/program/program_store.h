#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vrn {

// The user program's 512 instruction slots of 128 bytes, little-endian, exactly as the program
// image of a program file lays them out:
//   0       instruction number (u16)
//   2+12j   value of parameter j (32 bits: integer, float, or a 16-bit value with zero upper half)
//   6+12j   text of parameter j, 8 bytes, NUL-terminated
//   86      text area, 42 bytes, NUL-terminated (a tilde stands for the degree sign)
// Slot and parameter indices out of range throw std::out_of_range.
class ProgramStore {
public:
    static constexpr size_t kSlotCount = 512;
    static constexpr size_t kSlotSize = 128;
    static constexpr size_t kImageSize = kSlotCount * kSlotSize;
    static constexpr size_t kTextFieldSize = 8;
    static constexpr size_t kTextAreaOffset = 86;
    static constexpr size_t kTextAreaSize = 42;
    static constexpr size_t kMaxTextAreaChars = 25;

    using Slot = std::array<uint8_t, kSlotSize>;

    uint16_t instruction(size_t slot) const;
    void setInstruction(size_t slot, uint16_t number);

    uint32_t value(size_t slot, size_t param) const;
    void setValue(size_t slot, size_t param, uint32_t value);
    int32_t intValue(size_t slot, size_t param) const;
    void setIntValue(size_t slot, size_t param, int32_t value);
    float floatValue(size_t slot, size_t param) const;
    void setFloatValue(size_t slot, size_t param, float value);
    // A hex or choice value: the low 16 bits; setting it clears the upper half.
    uint16_t shortValue(size_t slot, size_t param) const;
    void setShortValue(size_t slot, size_t param, uint16_t value);

    // Bytes up to the first NUL. Setting keeps at most 7 bytes and fills the rest with NULs.
    std::string textField(size_t slot, size_t param) const;
    void setTextField(size_t slot, size_t param, std::string_view text);

    // Bytes up to the first NUL. Setting keeps at most 41 bytes and fills the rest with NULs.
    std::string textArea(size_t slot) const;
    void setTextArea(size_t slot, std::string_view bytes);

    // True when some slot holds "PGM END" (instruction 0), so the program has an end.
    bool hasPgmEnd() const;

    Slot slot(size_t slot) const;
    void setSlot(size_t slot, const Slot& bytes);
    void clearSlot(size_t slot);

    // Opens position p: slots p..510 move up by one, slot 511's content is lost; slot p keeps
    // its old content.
    void moveUpFrom(size_t p);
    // Closes position p: slots p+1..511 move down by one; slot 511 keeps its content.
    void moveDownTo(size_t p);

    std::span<const uint8_t, kImageSize> image() const { return bytes_; }
    std::span<uint8_t, kImageSize> image() { return bytes_; }

private:
    size_t at(size_t slot, size_t offset, size_t size) const;
    static size_t valueOffset(size_t param);
    static size_t textOffset(size_t param);

    std::array<uint8_t, kImageSize> bytes_{};
};

}  // namespace vrn
