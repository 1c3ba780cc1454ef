#include "app/RunReport.h"

#include <cstdio>

#include "app/Printable.h"

namespace qxhost::app {

namespace {

// Bytes that are not UTF-8 become the Latin-1 characters of their value, as in
// gamestate.json; control bytes show as \xNN.
std::string escape(const std::string& text) {
    std::string out;
    forEachUtf8(
        text,
        [&out](std::string_view sequence) {
            const auto c = static_cast<unsigned char>(sequence[0]);
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                out += (c < 0x20 && c != '\n' && c != '\t') || c == 0x7F ? hexEscape(c)
                                                                         : std::string(sequence);
            }
        },
        [&out](unsigned char byte) {
            char code[8];
            std::snprintf(code, sizeof code, "&#x%02X;", byte);
            out += code;
        });
    return out;
}

constexpr char kStyle[] = R"(
body { font: 14px/1.4 "DejaVu Sans", sans-serif; margin: 16px 24px; color: #1d1f24; background: #f4f5f7; }
h1 { font-size: 20px; margin: 0 0 4px; }
h2 { font-size: 16px; margin: 16px 0 6px; }
.facts { color: #4a4f59; margin: 0 0 12px; }
.top { display: flex; flex-wrap: wrap; gap: 24px; align-items: flex-start; }
.top > section:first-child { max-width: 600px; }
pre.compare { white-space: pre-wrap; overflow-wrap: anywhere; }
table { border-collapse: collapse; background: #fff; }
th, td { border: 1px solid #c9ccd3; padding: 3px 10px; text-align: left; }
th { background: #e6e8ec; }
td.none { color: #8a8f99; }
.shots { display: flex; flex-wrap: wrap; gap: 14px; }
figure { margin: 0; background: #fff; border: 1px solid #c9ccd3; padding: 6px; }
figure img { display: block; width: 320px; height: 240px; }
figcaption { margin-top: 4px; font-family: "DejaVu Sans Mono", monospace; }
.same { color: #2c7a3a; }
.differs { color: #b3261e; }
.animation img { display: block; width: 640px; height: 480px; border: 1px solid #c9ccd3; }
pre { background: #fff; border: 1px solid #c9ccd3; padding: 8px; max-height: 480px; overflow: auto; }
)";

std::string gameStateTable(const RunReport& report) {
    std::string html = "<table>\n<tr><th>Door</th><th>Word</th><th>Written</th><th>Code</th>"
                       "<th>Title</th></tr>\n";
    for (const DoorTopic& d : report.doors) {
        const bool empty = d.code.empty();
        html += "<tr><td>" + std::to_string(d.door) + "</td><td>" + std::to_string(d.word) +
                "</td><td>" + (d.written ? "yes" : "no") + "</td>";
        html += empty ? "<td class=\"none\">none</td><td class=\"none\">none</td>"
                      : "<td>" + escape(d.code) + "</td><td>" + escape(d.title) + "</td>";
        html += "</tr>\n";
    }
    if (report.doors.empty()) {
        html += "<tr><td colspan=\"5\" class=\"none\">the scene set up no door</td></tr>\n";
    }
    return html + "</table>\n";
}

const ShotComparison* comparisonOf(const RunReport& report, const std::string& name) {
    for (const ShotComparison& c : report.comparisons) {
        if (c.name == name) {
            return &c;
        }
    }
    return nullptr;
}

std::string shotFigure(const RunReport& report, const std::string& name) {
    const std::string file = urlPath(name + ".png");
    std::string html = "<figure><a href=\"" + file + "\"><img src=\"" + file + "\" alt=\"" +
                       escape(name) + "\"></a><figcaption>" + escape(name);
    if (const ShotComparison* c = comparisonOf(report, name)) {
        switch (c->outcome) {
        case ShotComparison::Outcome::Identical:
            html += " <span class=\"same\">identical</span>";
            break;
        case ShotComparison::Outcome::Differs:
            html += " <a class=\"differs\" href=\"" + urlPath(c->diffFile) + "\">" +
                    std::to_string(c->pixels) + (c->pixels == 1 ? " pixel" : " pixels") +
                    " differ</a>";
            break;
        default: html += " <span class=\"differs\">not compared</span>"; break;
        }
    }
    return html + "</figcaption></figure>\n";
}

} // namespace

std::string urlPath(const std::string& path) {
    std::string out;
    for (unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == '~' ||
                           c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            char code[4];
            std::snprintf(code, sizeof code, "%%%02X", c);
            out += code;
        }
    }
    return out;
}

std::string reportHtml(const RunReport& report) {
    const RunSummary& s = report.summary;
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<title>qxhost run: " +
                       escape(report.script) + "</title>\n<style>" + kStyle +
                       "</style>\n</head>\n<body>\n";
    html += "<h1>qxhost run</h1>\n<p class=\"facts\">Data " + escape(report.data) + ", script " +
            escape(report.script) + ": " + std::to_string(s.frames) + " frames, " +
            std::to_string(s.milliseconds) + " ms of scene time; the scene " +
            (s.finished ? "finished" : "was still running") + ".</p>\n";

    html += "<div class=\"top\">\n<section>\n<h2>Game state</h2>\n" + gameStateTable(report);
    if (!report.compareFolder.empty()) {
        html +=
            "<h2>Compared with " + escape(report.compareFolder) + "</h2>\n<pre class=\"compare\">";
        for (const std::string& line : report.compareLines) {
            html += escape(line) + "\n";
        }
        html += "</pre>\n";
    }
    html += "</section>\n<section class=\"animation\">\n<h2>Animation</h2>\n";
    html += report.animation.empty()
                ? "<p class=\"facts\">None: run with --animation FILE.webp to make one.</p>\n"
                : "<img src=\"" + report.animation + "\" alt=\"the whole run\">\n";
    html += "</section>\n</div>\n";

    html += "<h2>Shots</h2>\n";
    if (report.shots.empty()) {
        html += "<p class=\"facts\">The script took no shot.</p>\n";
    } else {
        html += "<div class=\"shots\">\n";
        for (const std::string& name : report.shots) {
            html += shotFigure(report, name);
        }
        html += "</div>\n";
    }

    html += "<h2>Log</h2>\n<pre>" + escape(report.log);
    return html + "</pre>\n</body>\n</html>\n";
}

} // namespace qxhost::app
