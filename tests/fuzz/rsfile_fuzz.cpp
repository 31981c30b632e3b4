// The fixed-record file: what opens is copied field by field into a file
// made by create, which must read back with the same header, fields and
// values; the cursor calls stay within the file whatever its header claims.
#include <cstring>
#include <string>
#include <vector>

#include "corlane/rsfile.h"
#include "tests/fuzz/fuzz_support.h"

using namespace qz::vok::rs;

namespace {

// A file's flag, version, field table (item, width, type), extra header
// and every record's values by field.
std::string Contents(rsfile& f)
{
    std::string out = std::to_string(f.get_flag()) + " " + std::to_string(f.get_version()) + " " +
                      std::to_string(f.get_reccount()) + "\n";
    const uint16_t fields = f.get_fieldcount();
    for (uint16_t i = 0; i < fields; ++i) {
        const fieldinfo_t* info = f.get_fieldinfo(i);
        out +=
            std::to_string(info->itemid) + ":" + std::to_string(info->width) + ":" + std::to_string(info->type) + " ";
    }
    out += "\n";
    out.append(reinterpret_cast<const char*>(f.get_exheadptr()), f.get_exheadlen());
    for (bool more = f.first(); more && !f.eof(); more = f.next()) {
        const uint8_t* record = f.get_record();
        out += "\n";
        for (uint16_t i = 0; i < fields; ++i) {
            const fieldinfo_t* info = f.get_fieldinfo(i);
            out.append(reinterpret_cast<const char*>(record + info->offset), info->width);
            out += "|";
        }
    }
    return out;
}

void Copy(rsfile& from, const std::string& path)
{
    std::vector<fieldinfo_t> table;
    for (uint16_t i = 0; i < from.get_fieldcount(); ++i)
        table.push_back(*from.get_fieldinfo(i));
    rsfile to;
    fuzz::Require(to.create(path, static_cast<uint16_t>(table.size()), table.data(), from.get_exheadlen()),
                  "the header of a file that opened cannot be created");
    to.set_flag(from.get_flag());
    to.set_version(from.get_version());
    std::memcpy(to.get_exheadptr(), from.get_exheadptr(), from.get_exheadlen());
    for (bool more = from.first(); more && !from.eof(); more = from.next()) {
        to.begin_append();
        for (uint16_t i = 0; i < table.size(); ++i)
            std::memcpy(to.get_record() + to.get_fieldinfo(i)->offset, from.get_record() + table[i].offset,
                        table[i].width);
        fuzz::Require(to.flush(), "a record cannot be appended");
    }
    fuzz::Require(to.flush(), "the copy cannot be flushed");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PutFile("records.rs", fuzz::Bytes(data, size));
    {
        rsfile file(true);
        if (!file.open("records.rs"))
            return 0;
        const std::string seen = Contents(file);
        Copy(file, "copy.rs");
        rsfile copy(true);
        fuzz::Require(copy.open("copy.rs"), "the copy does not open");
        fuzz::RequireSame(seen, Contents(copy), "the copy reads otherwise");

        // The cursor at both ends and past them.
        file.last();
        file.prev();
        file.moveto(file.get_reccount());
        file.next();
        file.moveto(rsfile::npos);
        file.prev();
        (void)file.get_reccount_byfilelen();
    }
    // Editing in place: the first record blanked, one appended, the file
    // cut to one record.
    rsfile file;
    if (!file.open("records.rs"))
        return 0;
    if (file.first() && file.get_record()) {
        file.make_blank();
        fuzz::Require(file.flush(), "a blanked record cannot be written");
    }
    file.begin_append();
    fuzz::Require(file.flush() || file.get_reccount() == rsfile::npos, "a record cannot be appended");
    fuzz::Require(file.truncate(1), "the file cannot be cut");
    file.close();
    rsfile cut(true);
    fuzz::Require(cut.open("records.rs") && cut.get_reccount() == 1, "the cut file does not open");
    return 0;
}
