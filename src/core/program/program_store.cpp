#include "core/program/program_store.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

#include "core/program/catalogue.h"

namespace vrn {

size_t ProgramStore::at(size_t slot, size_t offset, size_t size) const {
    if (slot >= kSlotCount || offset + size > kSlotSize) throw std::out_of_range("program slot");
    return slot * kSlotSize + offset;
}

size_t ProgramStore::valueOffset(size_t param) {
    if (param >= kMaxParams) throw std::out_of_range("program parameter");
    return 2 + 12 * param;
}

size_t ProgramStore::textOffset(size_t param) {
    return valueOffset(param) + 4;
}

uint16_t ProgramStore::instruction(size_t slot) const {
    const size_t i = at(slot, 0, 2);
    return static_cast<uint16_t>(bytes_[i] | (bytes_[i + 1] << 8));
}

void ProgramStore::setInstruction(size_t slot, uint16_t number) {
    const size_t i = at(slot, 0, 2);
    bytes_[i] = static_cast<uint8_t>(number);
    bytes_[i + 1] = static_cast<uint8_t>(number >> 8);
}

uint32_t ProgramStore::value(size_t slot, size_t param) const {
    const size_t i = at(slot, valueOffset(param), 4);
    return uint32_t{bytes_[i]} | (uint32_t{bytes_[i + 1]} << 8) | (uint32_t{bytes_[i + 2]} << 16) |
           (uint32_t{bytes_[i + 3]} << 24);
}

void ProgramStore::setValue(size_t slot, size_t param, uint32_t value) {
    const size_t i = at(slot, valueOffset(param), 4);
    for (size_t b = 0; b < 4; ++b)
        bytes_[i + b] = static_cast<uint8_t>(value >> (8 * b));
}

int32_t ProgramStore::intValue(size_t slot, size_t param) const {
    return static_cast<int32_t>(value(slot, param));
}

void ProgramStore::setIntValue(size_t slot, size_t param, int32_t value) {
    setValue(slot, param, static_cast<uint32_t>(value));
}

float ProgramStore::floatValue(size_t slot, size_t param) const {
    return std::bit_cast<float>(value(slot, param));
}

void ProgramStore::setFloatValue(size_t slot, size_t param, float value) {
    setValue(slot, param, std::bit_cast<uint32_t>(value));
}

uint16_t ProgramStore::shortValue(size_t slot, size_t param) const {
    return static_cast<uint16_t>(value(slot, param));
}

void ProgramStore::setShortValue(size_t slot, size_t param, uint16_t value) {
    setValue(slot, param, value);
}

namespace {

std::string readNulTerminated(const uint8_t* p, size_t size) {
    const size_t n = static_cast<size_t>(std::find(p, p + size, uint8_t{0}) - p);
    return std::string(p, p + n);
}

void writeNulTerminated(uint8_t* p, size_t size, std::string_view text) {
    const size_t n = std::min(text.size(), size - 1);
    std::transform(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), p,
                   [](char c) { return static_cast<uint8_t>(c); });
    std::fill(p + n, p + size, uint8_t{0});
}

}  // namespace

std::string ProgramStore::textField(size_t slot, size_t param) const {
    return readNulTerminated(&bytes_[at(slot, textOffset(param), kTextFieldSize)], kTextFieldSize);
}

void ProgramStore::setTextField(size_t slot, size_t param, std::string_view text) {
    writeNulTerminated(&bytes_[at(slot, textOffset(param), kTextFieldSize)], kTextFieldSize, text);
}

std::string ProgramStore::textArea(size_t slot) const {
    return readNulTerminated(&bytes_[at(slot, kTextAreaOffset, kTextAreaSize)], kTextAreaSize);
}

void ProgramStore::setTextArea(size_t slot, std::string_view bytes) {
    writeNulTerminated(&bytes_[at(slot, kTextAreaOffset, kTextAreaSize)], kTextAreaSize, bytes);
}

ProgramStore::Slot ProgramStore::slot(size_t slot) const {
    Slot out;
    const size_t i = at(slot, 0, kSlotSize);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(i), kSlotSize, out.begin());
    return out;
}

void ProgramStore::setSlot(size_t slot, const Slot& bytes) {
    std::copy(bytes.begin(), bytes.end(),
              bytes_.begin() + static_cast<std::ptrdiff_t>(at(slot, 0, kSlotSize)));
}

void ProgramStore::clearSlot(size_t slot) {
    setSlot(slot, Slot{});
}

void ProgramStore::moveUpFrom(size_t p) {
    at(p, 0, kSlotSize);
    for (size_t i = kSlotCount - 1; i > p; --i)
        setSlot(i, slot(i - 1));
}

void ProgramStore::moveDownTo(size_t p) {
    at(p, 0, kSlotSize);
    for (size_t i = p; i + 1 < kSlotCount; ++i)
        setSlot(i, slot(i + 1));
}

bool ProgramStore::hasPgmEnd() const {
    for (size_t k = 0; k < kSlotCount; ++k)
        if (instruction(k) == 0) return true;
    return false;
}

}  // namespace vrn
