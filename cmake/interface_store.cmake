# The interface-text store: store-build packs resources/store/ into a SQLite database at build
# time, and chargemon_setup carries it as the resource :/store/interface.db. For a static
# library Qt links the resource as an object file, so every program using the library finds it.
file(GLOB store_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/resources/store/*)
set(store_db ${CMAKE_CURRENT_BINARY_DIR}/store/interface.db)
add_custom_command(
  OUTPUT ${store_db}
  COMMAND store-build ${CMAKE_CURRENT_SOURCE_DIR}/resources/store/store.ini ${store_db}
  DEPENDS store-build ${store_sources}
  COMMENT "Packing the interface-text store")
set_source_files_properties(${store_db} PROPERTIES QT_RESOURCE_ALIAS interface.db)
qt_add_resources(chargemon_setup interface_store PREFIX /store FILES ${store_db})
