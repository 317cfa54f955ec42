// What a code page's decoding guarantees about ASCII bytes, so that scans can test text on
// the raw bytes and skip the conversion to UTF-16 wherever that gives the same answer.
#pragma once

struct CCodePageTraits {
    // A run of bytes below 0x80 decodes to the same values, one unit per byte.
    bool asciiIdentity = false;
    // The code page decodes as UTF-8: a unit below 0x80 only ever comes from the same byte,
    // and a valid sequence decodes the same wherever it stands (decoding resynchronises at
    // every ASCII byte and every lead byte).
    bool utf8 = false;
};

// Learns the traits by converting probe texts with the code page (so code page 0 is judged
// by what it really is on this system), once per code page. Stateful encodings get no
// shortcuts. Any thread.
CCodePageTraits GetCodePageTraits(unsigned codePage);
