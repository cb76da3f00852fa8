#!/usr/bin/python3
"""Expected values for the chaining modes, from an independent block cipher.

Takes one block operation (ECB encryption) from pycryptodome, Botan or Nettle and
composes CBC, CFB with 8-bit feedback, CFB with full-block feedback, OFB and
CTR over it by hand, with Velsor's rules for a final partial block:
  CBC, CFB block, OFB: CV := E(CV), the r bytes are XORed with its first bytes;
  CTR: the counter block is encrypted, then incremented (big-endian, wrapping).
The output is a C++ table for tests/support/block_cipher_checks.h.

Usage: mode_vectors.py CIPHER KEY_HEX IV_HEX [LENGTH ...]
CIPHER: aes des des3 blowfish cast128 rc2 twofish serpent
Plaintext byte i is (i * 31 + 5) mod 256, as PlaintextOfLength() in the tests.
Requires Debian's python3-pycryptodome, python3-botan (Twofish) and libnettle8 (Serpent).
"""
import sys


def nettle_serpent(key):
    """Nettle's serpent_encrypt through ctypes (Nettle has no Python binding)."""
    import ctypes
    import ctypes.util
    nettle = ctypes.CDLL(ctypes.util.find_library("nettle") or "libnettle.so.8")
    ctx = ctypes.create_string_buffer(33 * 4 * 4)  # struct serpent_ctx: uint32_t keys[33][4]
    nettle.nettle_serpent_set_key(ctx, ctypes.c_size_t(len(key)), key)

    def encrypt(block):
        out = ctypes.create_string_buffer(16)
        nettle.nettle_serpent_encrypt(ctx, ctypes.c_size_t(16), out, bytes(block))
        return out.raw
    return encrypt, 16


def ecb(cipher, key):
    if cipher == "serpent":
        return nettle_serpent(key)
    if cipher == "twofish":
        import botan2
        c = botan2.BlockCipher("Twofish")
        c.set_key(key)
        return lambda block: bytes(c.encrypt(block).raw), c.block_size()
    from Cryptodome.Cipher import AES, ARC2, CAST, DES, DES3, Blowfish
    if cipher == "aes":
        c = AES.new(key, AES.MODE_ECB)
    elif cipher == "des":
        c = DES.new(key, DES.MODE_ECB)
    elif cipher == "des3":
        c = DES3.new(key, DES3.MODE_ECB)
    elif cipher == "blowfish":
        c = Blowfish.new(key, Blowfish.MODE_ECB)
    elif cipher == "cast128":
        c = CAST.new(key, CAST.MODE_ECB)
    elif cipher == "rc2":
        c = ARC2.new(key, ARC2.MODE_ECB, effective_keylen=1024)
    else:
        raise SystemExit("unknown cipher " + cipher)
    return c.encrypt, c.block_size


def xor(a, b):
    return bytes(x ^ y for x, y in zip(a, b))


def plaintext(n):
    return bytes((i * 31 + 5) % 256 for i in range(n))


def cbc(E, B, iv, p):
    cv, out = iv, b""
    whole = len(p) // B * B
    for i in range(0, whole, B):
        cv = E(xor(p[i:i + B], cv))
        out += cv
    if len(p) > whole:
        cv = E(cv)
        out += xor(p[whole:], cv)
    return out


def cfb8(E, B, iv, p):
    cv, out = iv, b""
    for byte in p:
        c = byte ^ E(cv)[0]
        out += bytes([c])
        cv = cv[1:] + bytes([c])
    return out


def cfb_block(E, B, iv, p):
    cv, out = iv, b""
    for i in range(0, len(p), B):
        cv = E(cv)
        chunk = xor(p[i:i + B], cv)
        out += chunk
        if len(chunk) == B:
            cv = chunk
    return out


def ofb(E, B, iv, p):
    cv, out = iv, b""
    for i in range(0, len(p), B):
        cv = E(cv)
        out += xor(p[i:i + B], cv)
    return out


def ctr(E, B, iv, p):
    cv, out = iv, b""
    for i in range(0, len(p), B):
        out += xor(p[i:i + B], E(cv))
        cv = ((int.from_bytes(cv, "big") + 1) % (1 << (8 * B))).to_bytes(B, "big")
    return out


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    cipher, key, iv = sys.argv[1], bytes.fromhex(sys.argv[2]), bytes.fromhex(sys.argv[3])
    E, B = ecb(cipher, key)
    assert len(iv) == B, "the IV must be one block"
    lengths = [int(x) for x in sys.argv[4:]] or sorted({0, 1, B - 1, B, B + 1, 2 * B + 5, 20})
    modes = [("cmCBC", cbc), ("cmCFB8bit", cfb8), ("cmCFBblock", cfb_block), ("cmOFB", ofb), ("cmCTR", ctr)]
    print(f"    // {cipher}, key {key.hex()}, IV {iv.hex()}: composed by tests/oracles/mode_vectors.py")
    for name, mode in modes:
        for n in lengths:
            print(f'    {{{name}, {n}, "{mode(E, B, iv, plaintext(n)).hex()}"}},')


if __name__ == "__main__":
    main()
