// The choices a shell makes for an export before it starts.
#pragma once

struct ExportOptions {
    // Cards that strict readers accept: CR LF line ends, upper-case BEGIN, VERSION
    // and END, folded long lines, an FN and a full N on every card, and a UID.
    bool strict = false;
    // Every card, in row order, in one .vcf named after the CSV file instead of
    // one file per contact.
    bool singleFile = false;
};
