#include "ExportedSymbols.h"

#include <QFile>

#include <elf.h>

#include <cstring>
#include <stdexcept>

namespace prvc03::test {

QStringList ExportedSymbols(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw std::runtime_error("cannot open " + path.toStdString());
    }
    const QByteArray image = file.readAll();
    const char* base = image.constData();
    if (image.size() < qsizetype(sizeof(Elf64_Ehdr)) || std::memcmp(base, ELFMAG, SELFMAG) != 0 ||
        base[EI_CLASS] != ELFCLASS64) {
        throw std::runtime_error("not a 64-bit ELF file");
    }
    Elf64_Ehdr header;
    std::memcpy(&header, base, sizeof header);
    auto section = [&](int index) {
        Elf64_Shdr s;
        std::memcpy(&s, base + header.e_shoff + std::size_t(index) * header.e_shentsize, sizeof s);
        return s;
    };
    QStringList names;
    for (int i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr symbols = section(i);
        if (symbols.sh_type != SHT_DYNSYM) {
            continue;
        }
        const Elf64_Shdr strings = section(int(symbols.sh_link));
        const std::size_t count = symbols.sh_size / sizeof(Elf64_Sym);
        for (std::size_t k = 0; k < count; ++k) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, base + symbols.sh_offset + k * sizeof(Elf64_Sym), sizeof symbol);
            const int binding = ELF64_ST_BIND(symbol.st_info);
            const int type = ELF64_ST_TYPE(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK) ||
                (type != STT_FUNC && type != STT_OBJECT)) {
                continue;
            }
            names.append(QString::fromLatin1(base + strings.sh_offset + symbol.st_name));
        }
    }
    return names;
}

}  // namespace prvc03::test
