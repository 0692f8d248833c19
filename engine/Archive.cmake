# Archive reader targets: tn_archive_core (platform-free), tn_archive (Windows).
