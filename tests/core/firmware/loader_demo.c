/* A small program whose machine code is the firmware image of the loader tests: objcopy turns it
   into S-records at build time, so the tests send real records, not hand-written ones. */

static const char banner[] = "41700 TEST FIRMWARE";

unsigned checksum(const unsigned char* bytes, unsigned n) {
    unsigned sum = 0;
    for (unsigned i = 0; i < n; ++i)
        sum = (sum << 1 | sum >> 31) ^ bytes[i];
    return sum;
}

int scale(int raw, int numerator, int denominator) {
    return denominator == 0 ? 0 : raw * numerator / denominator;
}

unsigned firmware_main(void) {
    return checksum((const unsigned char*)banner, sizeof banner) + (unsigned)scale(4096, 5000, 4095);
}

int clamp_reading(int value, int low, int high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

int average(const int* values, int n) {
    long total = 0;
    for (int i = 0; i < n; ++i)
        total += values[i];
    return n > 0 ? (int)(total / n) : 0;
}

unsigned wind_direction(unsigned raw, unsigned offset) {
    unsigned degrees = (raw * 360u / 4096u + offset) % 360u;
    return degrees == 0 ? 360u : degrees;
}
