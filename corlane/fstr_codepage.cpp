#include "corlane/fstr.h"

#include <boost/locale/encoding.hpp>

namespace qz::vok {

namespace {

// Code page 936 as the files made on Windows and the processor carry it.
const char* const k_ansi_charset = "CP936";

} // namespace

bool fstr_utf8toansi(const std::string& in, std::string& out)
{
    out.clear();
    try {
        out = boost::locale::conv::from_utf<char>(in, k_ansi_charset, boost::locale::conv::stop);
        return true;
    } catch (const std::exception&) {
        out.clear();
        return false;
    }
}

bool fstr_ansitoutf8(const std::string& in, std::string& out)
{
    out.clear();
    try {
        out = boost::locale::conv::to_utf<char>(in, k_ansi_charset, boost::locale::conv::stop);
        return true;
    } catch (const std::exception&) {
        out.clear();
        return false;
    }
}

} // namespace qz::vok
