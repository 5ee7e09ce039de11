#pragma once

// What the JPEG codec's section reader found in a file: the frame header's
// size, the comment, and the useful fields of the Exif record. Texts are
// zero-terminated and cut to their buffers.
struct RxExifInfo {
    bool isExif;               // an Exif record was found and read
    int width, height;         // from the start-of-frame section
    int components;
    int process;               // start-of-frame marker (0xC0 baseline, 0xC2 progressive, ...)
    char cameraMake[32];
    char cameraModel[40];
    char dateTime[20];         // "YYYY:MM:DD HH:MM:SS", the original date when given
    int orientation;           // 1 to 8, 0 when absent
    float xResolution, yResolution;
    float resolutionUnit;      // the unit's length in inches (1 inch, 0.3937 cm), 0 when absent
    float exposureTime;        // seconds
    float apertureFNumber;
    float focalLength;         // millimetres
    int isoEquivalent;
    int flashUsed;             // -1 when absent, else 0 or 1
    char comment[256];         // the first comment section
    char lastError[64];        // why reading stopped early
};
