#pragma once
// Finding a screen's controls by objectName, as every GUI test does.

#include <QAction>
#include <QAbstractButton>
#include <QWidget>
#include <gtest/gtest.h>

template <class T>
T* control(const QObject* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (!found)
        ADD_FAILURE() << "no control named " << name.toStdString();
    return found;
}

// Clicks the button named `name` on the screen; a missing or hidden button
// fails the test, as the operator could not click it either.
inline void clickButton(const QObject* root, const QString& name)
{
    auto* button = control<QAbstractButton>(root, name);
    if (!button)
        return;
    if (!button->isVisible() || !button->isEnabled()) {
        ADD_FAILURE() << "button " << name.toStdString() << " cannot be clicked";
        return;
    }
    button->click();
}

// Triggers the menu item named `name`.
inline void triggerAction(const QObject* root, const QString& name)
{
    auto* action = control<QAction>(root, name);
    if (action)
        action->trigger();
}
