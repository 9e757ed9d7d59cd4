#pragma once
// The whole application on a fake clock, a scripted port and scripted dialogs, with its
// profile in a folder of the test's own.

#include <QString>

#include <memory>
#include <string>

#include "ViewFixture.h"
#include "app/CommandLine.h"
#include "app/MainFrame.h"
#include "app/VarkelApp.h"

struct AppFixture {
    // documentFile: named on the command line; profile: the profile's path, by default one
    // in dir.
    explicit AppFixture(const std::string& documentFile = std::string(),
                        const std::string& profile = std::string())
        : line(std::make_shared<FakeLine>()), factory(line, &clock) {
        line->responder = Amplifier("0.5", "-12.5", "0.02", "-40.25");
        command.documentFile = documentFile;
        app = std::make_unique<CVarkelApp>(
            command, clock, factory, prompts,
            QString::fromStdString(profile.empty() ? dir.File("varkel.ini") : profile));
    }
    QString Caption() const { return app->MainFrame()->windowTitle(); }
    QString Q(const std::string& s) const { return QString::fromStdString(s); }

    TempDir dir;
    FakeClock clock;
    std::shared_ptr<FakeLine> line;
    FakePortFactory factory;
    ScriptedPrompts prompts;
    CommandLine command;
    std::unique_ptr<CVarkelApp> app;
};
