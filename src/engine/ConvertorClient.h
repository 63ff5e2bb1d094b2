// What the engine calls back on whoever drives it: the window, the command
// line or a test.
#pragma once

#include "engine/RunReport.h"

#include <string>
#include <vector>

class ConvertorClient {
public:
    virtual ~ConvertorClient() = default;

    // The names of the header row, in column order, empty names included.
    virtual void addCSVHeadersToComboBox(const std::vector<std::string>& headers) = 0;
    // Every vCard property name, in the fixed order records are laid out in.
    virtual void addVcardPropertiesToComboBox(const std::vector<std::string>& properties) = 0;
    // One data row is done; the bar's share of one contact, in percent.
    // Called on the conversion thread.
    virtual void notify(float increment) = 0;
    // The run is over: what it came to. Called once, on the conversion thread.
    virtual void finalNotify(const RunReport& report) = 0;
};
