// The images of a drawing page (the cImg and cImgs of the program): every IMG element reports its
// click, press and moves with the image's address, the event's position and the document's scroll
// offsets. A click on a wrapped image never follows a link around it. Runs in the program's own
// script world, which the page's scripts cannot see; events made up by a script are not reported.
// Positions and offsets are the top document's, whichever frame the image is in, and images the
// page's own scripts add later are wrapped as they arrive.
(function () {
    'use strict';
    if (location.protocol !== 'file:')
        return;
    var marque = '@MARQUE@';

    // Where this frame's viewport lies in the top document's viewport: each frame's content box
    // (inside its border and padding) in its parent's viewport, added up to the top. Null when a
    // frame on the way belongs to a document this one cannot reach.
    function origineCadre() {
        var x = 0, y = 0, w = window;
        try {
            while (w !== w.top) {
                var cadre = w.frameElement;
                if (!cadre)
                    return null;
                var r = cadre.getBoundingClientRect();
                var style = cadre.ownerDocument.defaultView.getComputedStyle(cadre);
                x += r.left + cadre.clientLeft + (parseFloat(style.paddingLeft) || 0);
                y += r.top + cadre.clientTop + (parseFloat(style.paddingTop) || 0);
                w = w.parent;
            }
        } catch (e) {
            return null;
        }
        return [x, y];
    }

    function defilement() {
        // The scrolling element is the body in quirks mode and the root element otherwise.
        var d = window.top.document;
        var e = d.scrollingElement || d.body;
        return e ? [e.scrollLeft, e.scrollTop] : [0, 0];
    }

    function cImg(img, rapporte) {
        function signale(genre, e) {
            if (!e.isTrusted)
                return;
            var o = origineCadre();
            if (!o)
                return;
            var d = defilement();
            rapporte(genre, img.src, e.clientX + o[0], e.clientY + o[1], d[0], d[1]);
        }
        img.addEventListener('click', function (e) {
            e.preventDefault();
            signale('ImgClicked', e);
        });
        // Pressed and dragged, the browser would carry the picture away and send no more moves
        // until the button is let go: the zoom follows the mouse instead.
        img.addEventListener('dragstart', function (e) { e.preventDefault(); });
        img.addEventListener('mousedown', function (e) { signale('ImgMouseDown', e); });
        img.addEventListener('mousemove', function (e) { signale('ImgMouseMove', e); });
    }

    function ImgParse(rapporte) {
        var enveloppees = new WeakSet();
        function enveloppe(img) {
            if (enveloppees.has(img))
                return;
            enveloppees.add(img);
            cImg(img, rapporte);
        }
        function parcourt(racine) {
            var imgs = racine.getElementsByTagName('IMG');
            for (var i = 0; i < imgs.length; ++i)
                enveloppe(imgs[i]);
        }
        parcourt(document);
        new MutationObserver(function (changements) {
            changements.forEach(function (c) {
                c.addedNodes.forEach(function (n) {
                    if (n.nodeType !== 1)
                        return;
                    if (n.tagName.toUpperCase() === 'IMG')
                        enveloppe(n);
                    parcourt(n);
                });
            });
        }).observe(document, {childList: true, subtree: true});
    }

    if (window === window.top && typeof qt !== 'undefined' && qt.webChannelTransport) {
        new QWebChannel(qt.webChannelTransport, function (canal) {
            var pont = canal.objects.cImgs;
            ImgParse(function (genre, href, x, y, sl, st) { pont[genre](href, x, y, sl, st); });
            // Ready once the page has been laid out and painted (told under the program's mark,
            // so that the channel's object takes the three reports and nothing else).
            requestAnimationFrame(function () {
                requestAnimationFrame(function () { console.log(marque + ' ' + JSON.stringify(['pret'])); });
            });
        });
    } else {
        // Frames have no channel: they report through the console, under the program's mark.
        ImgParse(function (genre, href, x, y, sl, st) {
            console.log(marque + ' ' + JSON.stringify(['image', genre, href, x, y, sl, st]));
        });
    }
})();
