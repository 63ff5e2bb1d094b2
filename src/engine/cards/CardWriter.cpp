#include "engine/cards/CardWriter.h"

CardWriter::~CardWriter() = default;

std::string CardWriter::write(const ContactRecord& record, std::string_view uid) const {
    std::string out;
    out.reserve(1024);
    writeInto(out, record, uid);
    return out;
}
