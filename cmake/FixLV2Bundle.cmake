# Run after JUCE writes the LV2 bundle's Turtle files: declare the plug-in
# class (a flanger, hence a modulator), make the plug-in a doap:Project so its
# maintainer and release are in domain, give the mailbox a mailto: URI, and
# drop the two UI entries filed under the wrong predicate (noUserResize is not
# extension data, the options interface is not a feature).
# Usage: cmake -DBUNDLE=<path to .lv2> -P FixLV2Bundle.cmake

file(READ "${BUNDLE}/dsp.ttl" dsp)
string(REPLACE "\ta lv2:Plugin ;" "\ta lv2:Plugin , lv2:FlangerPlugin , doap:Project ;" dsp "${dsp}")
string(REGEX REPLACE "foaf:mbox <([^:>]+@[^>]+)>" "foaf:mbox <mailto:\\1>" dsp "${dsp}")
file(WRITE "${BUNDLE}/dsp.ttl" "${dsp}")

file(READ "${BUNDLE}/ui.ttl" ui)
string(REPLACE "\t\tui:noUserResize ,\n" "" ui "${ui}")
string(REPLACE "\tlv2:optionalFeature\n\t\tui:resize ,\n\t\topts:interface ,\n" "\tlv2:optionalFeature\n\t\tui:resize ,\n" ui "${ui}")
file(WRITE "${BUNDLE}/ui.ttl" "${ui}")
