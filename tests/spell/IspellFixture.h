#pragma once

#include "platform/Registry.h"
#include "spell/ISpellIni.h"
#include "spell/ISpellInstallation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// An ispell installation in a temporary folder, named by an in-memory registry.
struct IspellFixture {
    QTemporaryDir dir;
    FileRegistry registry;

    IspellFixture() { registry.setValue(ISpellIni::AppPathKey, ISpellIni::PathValue, dir.path()); }

    QString folder() const { return dir.path() + u'/'; }

    bool writeIni(const QString &folder, const QByteArray &text)
    {
        if (!QDir(dir.path()).mkpath(folder))
            return false;
        QFile file(dir.path() + u'/' + folder + QLatin1String("/ispell.ini"));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    }

    // A shell script standing in for ispell; answers its path.
    QString writeScript(const QString &name, const QByteArray &body)
    {
        const QString path = dir.path() + u'/' + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return {};
        file.write("#!/bin/sh\n" + body);
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        return path;
    }

    // The installation for the dictionaries of this machine.
    void installSystemDictionaries()
    {
        ISpellInstallation::refresh(registry, dir.path(),
                                    ISpellInstallation::findDictionaries(ISpellInstallation::systemSources()));
    }
};
