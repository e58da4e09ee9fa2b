#!/usr/bin/env python3
"""Prints the constants of image/Crc32Clmul.cpp.

Each folding constant is x^n mod P in the bit-reflected domain, times x (the
carry-less product of two reflected values comes out one bit short); mu is
x^64 div P, reflected. Intel's white paper "Fast CRC Computation for Generic
Polynomials Using PCLMULQDQ Instruction" lists the same values."""

P = 0x104C11DB7  # the CRC-32 polynomial, x^32 first


def reflect(value, bits):
    return int(format(value, f"0{bits}b")[::-1], 2)


def x_pow_mod_p(n):
    remainder = 1
    for _ in range(n):
        remainder <<= 1
        if remainder >> 32:
            remainder ^= P
    return remainder


def x_pow_64_div_p():
    quotient, remainder = 0, 1 << 64
    for bit in range(64, 31, -1):
        if remainder >> bit & 1:
            remainder ^= P << (bit - 32)
            quotient |= 1 << (bit - 32)
    return quotient


for n in (4 * 128 + 32, 4 * 128 - 32, 128 + 32, 128 - 32, 64):
    print(f"x^{n}: {reflect(x_pow_mod_p(n), 32) << 1:#011x}")
print(f"P: {reflect(P, 33):#011x}")
print(f"mu: {reflect(x_pow_64_div_p(), 33):#011x}")
