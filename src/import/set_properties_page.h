#pragma once

#include "pages/page_form.h"
#include "pages/state_tree.h"

#include <QStringList>

class QTimer;
class TCatalog;
class TDescriptionBox;
class TDescriptionItem;
class TNodeData;
class TSelectFilesData;

// The description page: the chosen tracks grouped by folder, and four boxes in which the user
// settles the album, composer, artist and name of each group and track. An edit on a group is
// passed on to its tracks, except to those set by hand. "Add tracks to the catalog" turns every
// track into a pending catalog record.
class TFormSetProperties final : public TFormBase {
    Q_OBJECT
public:
    static constexpr TPageId Id = TPageId::SetProperties;

    explicit TFormSetProperties(TCatalog &catalog, QWidget *parent = nullptr);

    // Set by the hand-over: the tracks come from removable media and are to be copied.
    bool FromRemovable = false;
    // While true the boxes' changes reach no node.
    bool Loading = false;
    // What the user typed into the album, composer and artist boxes while the program runs,
    // sorted, each once; offered in all three boxes of every node loaded afterwards.
    QStringList TypedValues;

    QLabel *LabelHint() const { return m_labelHint; }
    QLabel *LabelName() const { return m_labelName; }
    TStateTree *TreeViewFiles() const { return m_treeViewFiles; }
    TDescriptionBox *ComboBoxAlbum() const { return m_comboBoxAlbum; }
    TDescriptionBox *ComboBoxComposer() const { return m_comboBoxComposer; }
    TDescriptionBox *ComboBoxArtist() const { return m_comboBoxArtist; }
    TDescriptionBox *ComboBoxName() const { return m_comboBoxName; }
    QTimer *Timer1() const { return m_timer1; }

    // The node whose description the boxes show, or null.
    TDescriptionItem *SelectedNode() const;

    // A click that the tree has settled: plays a track from its icon, or selects the node
    // from its text and loads its description into the boxes.
    void TreeClicked(const TTreeHit &hit);
    // Every group whose medium is gone shows picture 4 with its tracks; a medium that is back
    // brings the saved pictures back.
    void CheckMedia();
    // "Add tracks to the catalog" and Enter.
    void AddToCatalog();
    // One catalog record per track of the tree, in tree order.
    QStringList BuildPendingRecords() const;
    // Tells that count checked tracks were left out of the tree: LeftOutText and the count,
    // then LeftOutReasonText.
    void TellLeftOut(int count);
    QString LeftOutText = QStringLiteral("Tracks left out:");
    QString LeftOutReasonText =
        QStringLiteral("their paths are too long for the catalog or hold a line break.");

protected:
    void FormShow() override;
    void FormHide() override;
    void ReadTexts(const TSkinFile &texts) override;

private:
    // What a box shows and changes of a node's record.
    struct TBoxField {
        TDescriptionBox *box;
        QStringList TSelectFilesData::*candidates;
        QString TNodeData::*value;
        void (TNodeData::*set)(const QString &);
    };

    QLabel *CreateCaption(const QString &key, const QRect &place);
    TDescriptionBox *CreateBox(const QString &objectName, const QRect &place);
    void Select(TDescriptionItem *node);
    void ClickText(TDescriptionItem *node);
    void LoadDescription(TDescriptionItem *node);
    void BoxChanged(const TBoxField &field);
    void MarkSetByHand(TDescriptionItem *track);
    void RememberTyped(const TDescriptionBox *box);
    void ExpandedOrCollapsed();

    TCatalog &m_catalog;
    QList<TBoxField> m_fields; // album, composer, artist, name
    QLabel *m_labelHint;
    QLabel *m_labelAlbum;
    QLabel *m_labelComposer;
    QLabel *m_labelArtist;
    QLabel *m_labelName;
    TStateTree *m_treeViewFiles;
    TDescriptionBox *m_comboBoxAlbum;
    TDescriptionBox *m_comboBoxComposer;
    TDescriptionBox *m_comboBoxArtist;
    TDescriptionBox *m_comboBoxName;
    QTimer *m_timer1; // medium check
};
