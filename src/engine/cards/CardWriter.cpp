#include "engine/cards/CardWriter.h"

#include "engine/cards/CardLines.h"

CardWriter::~CardWriter() = default;

std::string CardWriter::write(const ContactRecord& record, std::string_view uid) const {
    std::string out;
    out.reserve(1024);
    writeInto(out, record, uid);
    return out;
}

void WholeCardWriter::writeInto(std::string& out, const ContactRecord& record,
                                std::string_view uid) const {
    requireNamedValues(record);
    appendCardStart(out, version_, "\r\n");
    writeBody(out, record, uid);
    appendCardEnd(out, "\r\n");
}
