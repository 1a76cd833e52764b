#pragma once

#include "BoardLoad.h"
#include "CellBitmap.h"

#include <string>

class CancelFlag;
class QIODevice;

// Reads a pattern stored as an XML property list, through Qt's XML stream
// reader: only well-formed XML opens, character references and CDATA
// sections mean what XML says they mean, and a document type that declares
// anything of its own (an internal subset, and with it any entity) is
// refused, so no entity is ever expanded. Elements nest at most kMaxNesting
// deep, and reading takes time linear in the file.
class XmlPatternReader {
public:
    // The pattern itself needs five levels (plist, dictionary, data, column, cell).
    static constexpr int kMaxNesting = 64;

    // `device` is open for reading at the start of the document. It is read
    // once when "bitMapPixelSize" comes before "bitMapPixelData", as this
    // application writes it; the other way round (as Python's plistlib
    // writes it, keys sorted) it is read a second time, from the start, for
    // the cells.
    static BoardLoad read(QIODevice& device, const std::string& fileName, LogicalSize logicalSize,
                          const CancelFlag* cancel);
};
