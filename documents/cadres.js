// Tells the program when the document of a frame has finished loading; the top-level document
// is told by the browser itself. Runs in the program's own script world.
(function () {
    'use strict';
    if (window === window.top)
        return;
    var marque = '@MARQUE@';
    function complet() { console.log(marque + ' ' + JSON.stringify(['complet', location.href])); }
    if (document.readyState === 'complete')
        complet();
    else
        window.addEventListener('load', complet);
})();
