// The dBASE-style table: what opens reads the same after a save, and the
// editing calls stay within the image whatever its header claims.
#include <cstdio>
#include <string>

#include "corlane/dbf.h"
#include "tests/fuzz/fuzz_support.h"

using namespace qz::vok::dbf;

namespace {

// Everything a reader of the table sees.
std::string Contents(dbf& t)
{
    char line[160];
    std::snprintf(line, sizeof line, "%u %u %u %u %u %u %u %u\n", t.get_signature(), t.get_year(), t.get_month(),
                  t.get_day(), t.get_record_number(), t.get_head_length(), t.get_record_length(), t.get_field_count());
    std::string out = line;
    const uint16_t fields = t.get_field_count();
    for (uint16_t i = 0; i < fields; ++i) {
        const dbf_field f = t.get_field(i);
        std::snprintf(line, sizeof line, " %u %u %u %u|", f.get_data_type(), f.get_offset(), f.get_width(),
                      f.get_decimal());
        out += f.get_name() + line;
    }
    for (dbf_record r = t.first(); !r.empty(); r = t.next(r)) {
        out += r.is_delete() ? "\n*" : "\n ";
        for (uint16_t i = 0; i < fields; ++i) {
            const dbf_value v = r[i];
            std::snprintf(line, sizeof line, "|%ld %lld %.17g ", v.as_long(), static_cast<long long>(v.as_int64()),
                          v.as_double());
            out += line + v.as_string();
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::EnterWorkFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::PutFile("table.dbf", fuzz::Bytes(data, size));
    dbf table;
    if (!table.open("table.dbf"))
        return 0;
    const std::string seen = Contents(table);
    fuzz::Require(table.save("copy.dbf"), "a table that opened does not save");
    dbf copy;
    fuzz::Require(copy.open("copy.dbf"), "a saved table does not open");
    fuzz::RequireSame(seen, Contents(copy), "the saved table reads otherwise");
    fuzz::Require(copy == table, "the saved table's image differs");

    // Editing what the file made: a new record with every field written,
    // the first record deleted and the deleted ones dropped.
    const dbf_record added = copy.add_record();
    for (uint16_t i = 0; !added.empty() && i < copy.get_field_count(); ++i)
        added[i] = "value " + std::to_string(i);
    copy.first().set_delete();
    copy.clear_all_deleted_records();
    const std::string edited = Contents(copy);
    fuzz::Require(copy.save("edited.dbf"), "an edited table does not save");
    dbf again;
    fuzz::Require(again.open("edited.dbf"), "an edited table does not open");
    fuzz::RequireSame(edited, Contents(again), "the edited table reads otherwise");
    return 0;
}
